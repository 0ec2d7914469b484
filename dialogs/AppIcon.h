#pragma once
// The program's own icon: a picture frame with a grey ramp, drawn in code.

#include <QIcon>
#include <QPixmap>

QIcon AppIcon();
// The icon drawn at size x size pixels (also used to make the installed
// icon files).
QPixmap DrawAppIcon(int size);
