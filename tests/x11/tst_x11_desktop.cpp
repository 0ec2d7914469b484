// The desktop program as a user meets it: started the way main() starts it,
// on an X server of its own (Xvfb, xcb platform), used only through real key
// presses sent with xdotool and watched through window titles and the
// screen's pixels. Every wait is bounded, so nothing here can hang, and
// nothing it starts outlives it.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "Image.h"
#include "KeyLocks.h"
#include "ImageDocument.h"
#include "PictureFile.h"

// Last: Xlib defines names that Qt uses.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

constexpr int kWaitMs = 15000;

// Xvfb and the program form a process group of their own, ended when the
// test ends. Should the test die first (a crash, CTest's timeout), the kernel
// kills each of them with it.
void JoinChildGroup(pid_t group) {
    setpgid(0, group);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

// An Xvfb on a free display, chosen by the server itself (-displayfd). It
// leads the group.
class CXvfb {
public:
    bool Start() {
        int fds[2];
        if (pipe(fds) != 0) return false;
        pid_ = fork();
        if (pid_ == 0) {
            JoinChildGroup(0);
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        if (pid_ < 0) return false;
        setpgid(pid_, pid_);  // whichever of the two runs first
        std::string number;
        pollfd wait{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&wait, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) return false;
        display_ = ":" + number;
        return true;
    }
    ~CXvfb() {
        if (pid_ > 0) {
            kill(-pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Display() const { return display_; }
    pid_t Group() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

CXvfb& Server() {
    static CXvfb server;
    return server;
}

bool Xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start("xdotool", arguments);
    return tool.waitForFinished(kWaitMs) && tool.exitCode() == 0;
}

// A click in a window, which gives it the focus: there is no window manager
// to hand it back when a dialog closes.
bool ClickIn(const QString& title) {
    return Xdotool({"search", "--onlyvisible", "--name",
                    "^" + QRegularExpression::escape(title) + "$", "mousemove", "--window", "%1",
                    "400", "400", "click", "1"});
}

// Whether the window with the keyboard focus has this title.
bool HasFocus(const QString& title) {
    QProcess tool;
    tool.start("xdotool", {"getwindowfocus", "getwindowname"});
    return tool.waitForFinished(kWaitMs) &&
           tool.readAllStandardOutput().trimmed() == title.toUtf8();
}

bool WindowShown(const QString& title) {
    return Xdotool(
        {"search", "--onlyvisible", "--name", "^" + QRegularExpression::escape(title) + "$"});
}

// The bounding box of the screen's pixels of one colour.
QRect AreaOf(QRgb colour) {
    ::Display* display = XOpenDisplay(Server().Display().c_str());
    if (!display) return {};
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    XImage* shot =
        XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    QRect area;
    for (int y = 0; shot && y < shot->height; ++y)
        for (int x = 0; x < shot->width; ++x)
            if ((XGetPixel(shot, x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                area |= QRect(x, y, 1, 1);
    if (shot) XDestroyImage(shot);
    XCloseDisplay(display);
    return area;
}

// Colours of our own for levels 200 and 55 (200 inverted), found nowhere else
// on the screen.
const QRgb kLevel200 = qRgb(13, 201, 77);
const QRgb kLevel55 = qRgb(201, 13, 99);

// A width x height picture at one level, in our own colours.
void WritePicture(const QString& path, std::uint8_t level = 200, int width = 64, int height = 48,
                  PictureFormat format = PictureFormat::Bmp) {
    CImage image;
    image.CreateEmptyImage(width, height, level);
    std::uint8_t red[256], green[256], blue[256];
    for (int i = 0; i < 256; ++i) red[i] = green[i] = blue[i] = static_cast<std::uint8_t>(i);
    red[200] = qRed(kLevel200), green[200] = qGreen(kLevel200), blue[200] = qBlue(kLevel200);
    red[55] = qRed(kLevel55), green[55] = qGreen(kLevel55), blue[55] = qBlue(kLevel55);
    image.PaletteGradient(red, green, blue);
    std::string problem;
    SavePictureFile(image, path.toStdString(), format, problem);
}

// A stack of pages at these levels, in our own colours, as one TIFF file.
void WriteStack(const QString& path, const QList<std::uint8_t>& levels) {
    std::vector<SPicturePage> pages;
    for (std::uint8_t level : levels) {
        const QString one = path + ".page.bmp";
        WritePicture(one, level);
        CImageDocument page;
        page.Open(one.toStdString());
        pages.push_back(page.RemovePage(0));
        QFile::remove(one);
    }
    std::string problem;
    SavePictureFile(pages, path.toStdString(), *FormatNamed("TIFF"), problem);
}

// The red of the first pixel of each page of a file, as ImageMagick reads it.
QString PageReds(const QString& path) {
    QProcess identify;
    identify.start("identify", {"-format", "%[fx:int(255*p{0,0}.r+0.5)],", path});
    return identify.waitForFinished(kWaitMs) ? QString::fromUtf8(identify.readAllStandardOutput())
                                            : QString();
}

// The program's environment on this server, with `home` as its home and
// `ini` as its settings; empty when they cannot be written.
QProcessEnvironment HomeEnvironment(const QTemporaryDir& home, const QByteArray& ini) {
    QDir(home.path()).mkpath("config/Orvex");
    QFile settings(home.filePath("config/Orvex/Orvex.ini"));
    if (!settings.open(QIODevice::WriteOnly) || settings.write(ini) != ini.size()) return {};
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(Server().Display()));
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("HOME", home.path());
    environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
    return environment;
}

// Ctrl+O in the focused window, the path typed, Return.
void OpenFromDialog(const QString& path) {
    QVERIFY(Xdotool({"key", "ctrl+o"}));
    QTRY_VERIFY_WITH_TIMEOUT(WindowShown("Ouvrir"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(HasFocus("Ouvrir"), kWaitMs);
    QVERIFY(Xdotool({"type", "--delay", "2", path}));
    // The first Return may only close the name completer's list.
    for (int tries = 0; tries < 3 && WindowShown("Ouvrir"); ++tries) {
        QVERIFY(Xdotool({"key", "Return"}));
        QTest::qWaitFor([] { return !WindowShown("Ouvrir"); }, 500);
    }
}

// Where the window of this title stands on the screen.
QRect WindowRect(const QString& title) {
    QProcess tool;
    tool.start("xdotool",
               {"search", "--onlyvisible", "--name", "^" + QRegularExpression::escape(title) + "$",
                "getwindowgeometry", "--shell"});
    if (!tool.waitForFinished(kWaitMs) || tool.exitCode() != 0) return {};
    QHash<QString, int> values;
    for (const QByteArray& line : tool.readAllStandardOutput().split('\n'))
        if (const int equals = line.indexOf('='); equals > 0)
            values[QString::fromLatin1(line.left(equals))] = line.mid(equals + 1).toInt();
    return {values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]};
}

// The screen's pixels in `area`.
QImage Shot(const QRect& area) {
    QImage image(area.size(), QImage::Format_RGB32);
    ::Display* display = XOpenDisplay(Server().Display().c_str());
    if (!display || area.isEmpty()) return {};
    XImage* shot = XGetImage(display, DefaultRootWindow(display), area.x(), area.y(),
                             static_cast<unsigned>(area.width()),
                             static_cast<unsigned>(area.height()), AllPlanes, ZPixmap);
    for (int y = 0; shot && y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            image.setPixel(x, y, static_cast<QRgb>(XGetPixel(shot, x, y)) | 0xFF000000u);
    if (shot) XDestroyImage(shot);
    XCloseDisplay(display);
    return image;
}

// The status bar's message, as pixels: the left of the main window's last rows.
QImage StatusMessage(const QString& title) {
    const QRect window = WindowRect(title);
    return Shot(QRect(window.x() + 2, window.bottom() - 24, 300, 22));
}

}  // namespace

class TestX11Desktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void lockIndicatorsFollowTheXServer();
    void firstStartOpenZoomMenuUndo();
    void pngFromTheOpenDialog();
    void openingNotesFollowTheActiveWindow();
    void resultsWindowOpensWideAndKeepsItsSize();
    void stackTurnedInvertedOnEveryPageAndSavedWhole();
    void cleanupTestCase();

private:
    QTemporaryDir home_;
    QProcess program_;
};

void TestX11Desktop::initTestCase() {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty())
        QFAIL("Xvfb is not installed (scripts/bootstrap.sh installs it)");
    if (Server().Display().empty()) QFAIL("Xvfb did not start");
    if (QStandardPaths::findExecutable("xdotool").isEmpty())
        QFAIL("xdotool is not installed (scripts/bootstrap.sh installs it)");
    program_.setChildProcessModifier([] { JoinChildGroup(Server().Group()); });
}

void TestX11Desktop::lockIndicatorsFollowTheXServer() {
    const bool caps = ReadKeyLocks().caps, num = ReadKeyLocks().num;
    QVERIFY(Xdotool({"key", "Caps_Lock", "Num_Lock"}));
    QTRY_COMPARE_WITH_TIMEOUT(ReadKeyLocks().caps, !caps, kWaitMs);
    QCOMPARE(ReadKeyLocks().num, !num);
    QVERIFY(Xdotool({"key", "Caps_Lock", "Num_Lock"}));
    QTRY_COMPARE_WITH_TIMEOUT(ReadKeyLocks().caps, caps, kWaitMs);
    QCOMPARE(ReadKeyLocks().num, num);
}

void TestX11Desktop::firstStartOpenZoomMenuUndo() {
    QDir(home_.path()).mkpath("run");
    const QString run = home_.filePath("run");
    QFile::copy(ORVEX_TIPS_FILE, run + "/Orvex.tip");
    const QString picture = run + "/a.bmp";
    WritePicture(picture);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(Server().Display()));
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("HOME", home_.path());
    environment.insert("XDG_CONFIG_HOME", home_.filePath("config"));
    program_.setProcessEnvironment(environment);
    program_.setWorkingDirectory(run);
    program_.start(ORVEX_PROGRAM_PATH, {});
    QVERIFY(program_.waitForStarted(kWaitMs));

    // First start: the tip of the day, closed with Escape.
    QTRY_VERIFY_WITH_TIMEOUT(WindowShown("Conseil du jour"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(HasFocus("Conseil du jour"), kWaitMs);
    QVERIFY(Xdotool({"key", "Escape"}));
    QTRY_VERIFY_WITH_TIMEOUT(!WindowShown("Conseil du jour"), kWaitMs);

    // Ctrl+O in the empty main window, before any menu was ever opened.
    QTRY_VERIFY_WITH_TIMEOUT(ClickIn("Orvex"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(HasFocus("Orvex"), kWaitMs);
    OpenFromDialog(picture);
    QTRY_VERIFY_WITH_TIMEOUT(WindowShown("Orvex - a.bmp"), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(AreaOf(kLevel200).size(), QSize(64, 48), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(ClickIn("Orvex - a.bmp"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(HasFocus("Orvex - a.bmp"), kWaitMs);

    // Zoom keys, on the keypad and on the main keyboard.
    const QList<std::pair<QString, QSize>> zooms = {
        {"ctrl+KP_Add", {70, 52}}, {"ctrl+KP_1", {64, 48}},        {"ctrl+plus", {70, 52}},
        {"ctrl+1", {64, 48}},      {"ctrl+KP_Subtract", {58, 43}}, {"ctrl+minus", {52, 39}},
        {"ctrl+KP_1", {64, 48}}};
    for (const auto& [key, size] : zooms) {
        QVERIFY(Xdotool({"key", key}));
        QTRY_COMPARE_WITH_TIMEOUT(AreaOf(kLevel200).size(), size, kWaitMs);
    }

    // "&Traitement" / "&Inverse" by their mnemonics, then "&Annuler".
    QVERIFY(Xdotool({"key", "alt+t"}));
    QVERIFY(Xdotool({"key", "i"}));
    QTRY_COMPARE_WITH_TIMEOUT(AreaOf(kLevel55).size(), QSize(64, 48), kWaitMs);
    QVERIFY(AreaOf(kLevel200).isEmpty());
    QVERIFY(Xdotool({"key", "ctrl+z"}));
    QTRY_COMPARE_WITH_TIMEOUT(AreaOf(kLevel200).size(), QSize(64, 48), kWaitMs);
}

// A PNG file chosen in the open dialog, in the program already running.
void TestX11Desktop::pngFromTheOpenDialog() {
    if (program_.state() != QProcess::Running) QSKIP("the program did not start");
    const QString picture = home_.filePath("run/b.png");
    WritePicture(picture, 55, 40, 30, *FormatNamed("PNG"));
    QTRY_VERIFY_WITH_TIMEOUT(ClickIn("Orvex - a.bmp"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(HasFocus("Orvex - a.bmp"), kWaitMs);
    OpenFromDialog(picture);
    QTRY_VERIFY_WITH_TIMEOUT(WindowShown("Orvex - b.png"), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(AreaOf(kLevel55).size(), QSize(40, 30), kWaitMs);
}

// Each document's opening note shows while its window is the active one:
// a 3-page TIFF's, then none with a PNG opened after it, then the TIFF's
// again when its window comes back.
void TestX11Desktop::openingNotesFollowTheActiveWindow() {
    if (program_.state() != QProcess::Running) QSKIP("the program did not start");
    const QString pages = home_.filePath("run/pages.tif");
    QFile::copy(ORVEX_TESTDATA "/formats/tiff-grey8-3pages.tif", pages);
    const QString plain = home_.filePath("run/c.png");
    WritePicture(plain, 55, 30, 20, *FormatNamed("PNG"));

    QTRY_VERIFY_WITH_TIMEOUT(ClickIn("Orvex - b.png"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(HasFocus("Orvex - b.png"), kWaitMs);
    const QImage ready = StatusMessage("Orvex - b.png");
    QVERIFY(!ready.isNull());
    OpenFromDialog(pages);
    QTRY_VERIFY_WITH_TIMEOUT(WindowShown("Orvex - pages.tif"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(StatusMessage("Orvex - pages.tif") != ready, kWaitMs);
    const QImage note = StatusMessage("Orvex - pages.tif");

    QTRY_VERIFY_WITH_TIMEOUT(ClickIn("Orvex - pages.tif"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(HasFocus("Orvex - pages.tif"), kWaitMs);
    OpenFromDialog(plain);
    QTRY_VERIFY_WITH_TIMEOUT(WindowShown("Orvex - c.png"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(StatusMessage("Orvex - c.png") == ready, kWaitMs);

    // The TIFF again, from the dialog: its window comes forward, with its note.
    QTRY_VERIFY_WITH_TIMEOUT(ClickIn("Orvex - c.png"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(HasFocus("Orvex - c.png"), kWaitMs);
    OpenFromDialog(pages);
    QTRY_VERIFY_WITH_TIMEOUT(WindowShown("Orvex - pages.tif"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(StatusMessage("Orvex - pages.tif") == note, kWaitMs);
}

// "Résultats", floating: the first measurement opens it wide enough for its
// columns; the size the user gives it is there again at the next start.
void TestX11Desktop::resultsWindowOpensWideAndKeepsItsSize() {
    QTemporaryDir home;
    const QProcessEnvironment environment =
        HomeEnvironment(home, "[Settings]\nResultsFloating=true\n\n[Tip]\nStartUp=1\n");
    QVERIFY(!environment.isEmpty());
    const QString picture = home.filePath("a.bmp");
    WritePicture(picture);

    QRect kept;
    for (const int start : {1, 2}) {
        QProcess program;
        program.setChildProcessModifier([] { JoinChildGroup(Server().Group()); });
        program.setProcessEnvironment(environment);
        program.start(ORVEX_PROGRAM_PATH, {picture});
        QVERIFY(program.waitForStarted(kWaitMs));
        QTRY_VERIFY_WITH_TIMEOUT(ClickIn("Orvex - a.bmp"), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(HasFocus("Orvex - a.bmp"), kWaitMs);
        QVERIFY(Xdotool({"key", "ctrl+m"}));
        QTRY_VERIFY_WITH_TIMEOUT(WindowShown("Résultats"), kWaitMs);
        if (start == 1) {
            // Ten columns of numbers and words: several hundred pixels.
            QTRY_VERIFY_WITH_TIMEOUT(WindowRect("Résultats").width() >= 500, kWaitMs);
            QVERIFY(WindowRect("Résultats").height() >= 100);
            QVERIFY(Xdotool({"search", "--name", "^Résultats$", "windowsize", "640", "260"}));
            QTRY_COMPARE_WITH_TIMEOUT(WindowRect("Résultats").size(), QSize(640, 260), kWaitMs);
            kept = WindowRect("Résultats");
            QTest::qWait(500);  // the settings are written as the window is resized
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(WindowRect("Résultats").size(), kept.size(), kWaitMs);
        }
        program.kill();
        program.waitForFinished(kWaitMs);
    }
}

// A 3-page TIFF: Ctrl+Page Down shows page 2, "Inverse" on every page (the
// question answered with its default), Ctrl+S writes the three pages back
// without asking about anything, and ImageMagick reads them inverted.
void TestX11Desktop::stackTurnedInvertedOnEveryPageAndSavedWhole() {
    // Alone on the screen, whose colours it reads.
    if (program_.state() != QProcess::NotRunning) {
        program_.kill();
        program_.waitForFinished(kWaitMs);
    }
    QTemporaryDir home;
    const QProcessEnvironment environment = HomeEnvironment(home, "[Tip]\nStartUp=1\n");
    QVERIFY(!environment.isEmpty());
    const QString stack = home.filePath("stack.tif");
    WriteStack(stack, {200, 55, 200});
    const QString red200 = QString::number(qRed(kLevel200)), red55 = QString::number(qRed(kLevel55));
    QCOMPARE(PageReds(stack), red200 + "," + red55 + "," + red200 + ",");
    QProcess program;
    program.setChildProcessModifier([] { JoinChildGroup(Server().Group()); });
    program.setProcessEnvironment(environment);
    program.start(ORVEX_PROGRAM_PATH, {stack});
    QVERIFY(program.waitForStarted(kWaitMs));
    const QString title = "Orvex - stack.tif";
    QTRY_VERIFY_WITH_TIMEOUT(ClickIn(title), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(HasFocus(title), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(AreaOf(kLevel200).size(), QSize(64, 48), kWaitMs);

    QVERIFY(Xdotool({"key", "ctrl+Next"}));
    QTRY_COMPARE_WITH_TIMEOUT(AreaOf(kLevel55).size(), QSize(64, 48), kWaitMs);
    QVERIFY(Xdotool({"key", "alt+t"}));
    QVERIFY(Xdotool({"key", "i"}));
    QTRY_VERIFY_WITH_TIMEOUT(HasFocus("Orvex"), kWaitMs);
    QVERIFY(Xdotool({"key", "Return"}));
    QTRY_COMPARE_WITH_TIMEOUT(AreaOf(kLevel200).size(), QSize(64, 48), kWaitMs);

    QTRY_VERIFY_WITH_TIMEOUT(ClickIn(title), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(HasFocus(title), kWaitMs);
    QVERIFY(Xdotool({"key", "ctrl+s"}));
    QTRY_COMPARE_WITH_TIMEOUT(PageReds(stack), red55 + "," + red200 + "," + red55 + ",", kWaitMs);
    QVERIFY(HasFocus(title));  // no question, no dialog
    program.kill();
    program.waitForFinished(kWaitMs);
}

void TestX11Desktop::cleanupTestCase() {
    if (program_.state() != QProcess::NotRunning) {
        program_.kill();
        program_.waitForFinished(kWaitMs);
    }
}

// The test's own window system is the X server it starts, so the key
// presses it sends reach the program and the lock state comes back from it.
int main(int argc, char** argv) {
    const bool started = Server().Start();
    if (started) {
        qputenv("DISPLAY", QByteArray::fromStdString(Server().Display()));
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    TestX11Desktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_x11_desktop.moc"
