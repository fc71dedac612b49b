// A focused line edit, run as its own X client by the typing tests and benchmarks. Prints
// "ready" once it has the input focus; 30 ms after the last change of its text "at:<ms>" (the
// monotonic clock at that change, comparable between processes) and "text:<UTF-8 hex>"; and
// "return" when Enter reaches it (Tab is taken as a character: it would move the focus);
// "active"/"inactive" when its window gains or loses the keyboard focus. "clear" on stdin empties it,
// "copy:<UTF-8 hex>" puts a text on the clipboard, "clipboard" reports the clipboard's text as
// "clipboard:<UTF-8 hex>", "unfocus" stops it taking the focus back, the end of stdin quits.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>
#include <fcntl.h>
#include <unistd.h>

// Lines go out without blocking: the typing side may read them only once it has finished, and a
// window stuck on a full pipe would stop reading its keys and the keyboard map meanwhile.
static QByteArray g_unsent;
static QSocketNotifier* g_writable = nullptr;

static void sendUnsent() {
    qsizetype sent = 0;
    while (sent < g_unsent.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, g_unsent.constData() + sent, size_t(g_unsent.size() - sent));
        if (n <= 0)
            break;
        sent += n;
    }
    g_unsent.remove(0, int(sent));
    g_writable->setEnabled(!g_unsent.isEmpty());
}

static void say(const QByteArray& line) {
    g_unsent += line + '\n';
    sendUnsent();
}

class TabAsCharacter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Tab)
            return false;
        static_cast<QLineEdit*>(watched)->insert(QStringLiteral("\t"));
        return true;
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ::fcntl(STDOUT_FILENO, F_SETFL, ::fcntl(STDOUT_FILENO, F_GETFL) | O_NONBLOCK);
    QSocketNotifier writable(STDOUT_FILENO, QSocketNotifier::Write);
    g_writable = &writable;
    QObject::connect(&writable, &QSocketNotifier::activated, [] { sendUnsent(); });
    writable.setEnabled(false);
    QLineEdit edit;
    edit.setWindowTitle(QStringLiteral("focus receiver"));
    edit.setMaxLength(100000);
    edit.setGeometry(50, 50, 900, 40);
    TabAsCharacter tabs;
    edit.installEventFilter(&tabs);
    edit.show();

    // Reported once typing pauses, so that a long text does not fill the pipe while the typing
    // side is busy and not reading it.
    QTimer report;
    report.setSingleShot(true);
    report.setInterval(30);
    QElapsedTimer changed; // monotonic, comparable with the clocks of other processes
    QObject::connect(&report, &QTimer::timeout, [&] {
        say("at:" + QByteArray::number(changed.msecsSinceReference()));
        say("text:" + edit.text().toUtf8().toHex());
    });
    QObject::connect(&edit, &QLineEdit::textChanged, [&] {
        changed.start();
        report.start();
    });
    QObject::connect(&edit, &QLineEdit::returnPressed, [] { say("return"); });
    QObject::connect(&app, &QGuiApplication::focusWindowChanged,
                     [](QWindow* window) { say(window ? "active" : "inactive"); });

    // Without a window manager the window takes the focus itself once it is mapped, and back
    // whenever it has lost it, until told "unfocus" (the focus may then follow the pointer).
    QTimer focus;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        const QByteArray command(buffer, int(qMax<ssize_t>(n, 0)));
        if (n <= 0)
            app.quit();
        if (command.contains("clear")) {
            edit.clear();
            report.stop();
            say("cleared");
        }
        for (const QByteArray& line : command.split('\n')) {
            if (line.startsWith("copy:")) {
                QGuiApplication::clipboard()->setText(QString::fromUtf8(QByteArray::fromHex(line.mid(5))));
                say("copied");
            } else if (line == "clipboard") {
                say("clipboard:" + QGuiApplication::clipboard()->text().toUtf8().toHex());
            }
        }
        if (command.contains("unfocus")) {
            focus.stop();
            say("unfocused");
        }
    });

    bool ready = false;
    QObject::connect(&focus, &QTimer::timeout, [&] {
        if (!edit.isActiveWindow() && QGuiApplication::platformName() != QLatin1String("wayland"))
            edit.activateWindow(); // Wayland lets no window take the focus itself
        edit.setFocus();
        if (!ready && edit.isActiveWindow() && edit.hasFocus()) {
            ready = true;
            say("ready");
        }
    });
    focus.start(100);
    return app.exec();
}
