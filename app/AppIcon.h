#pragma once
// The program's own icon: a picture frame with a grey ramp, drawn in code.

#include <QIcon>

QIcon AppIcon();
