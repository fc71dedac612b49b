// A window with a focused line edit, run as its own X client by the typing tests and benchmark.
// Prints "ready" once it has the input focus, then "text:<UTF-8 hex>" when the text has changed
// (30 ms after the last change) and "return" when Enter reaches it. Reads "clear" from stdin to empty the
// line edit.
#include <QApplication>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

static void say(const QByteArray& line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("focus receiver"));
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(&window);
    edit->setMaxLength(100000);
    layout->addWidget(edit);
    window.resize(900, 80);
    window.move(50, 50);
    window.show();

    // The text is reported once typing pauses, so that a long text does not fill the pipe while
    // the typing side is busy and not reading it.
    QTimer report;
    report.setSingleShot(true);
    report.setInterval(30);
    QObject::connect(&report, &QTimer::timeout, [edit] { say("text:" + edit->text().toUtf8().toHex()); });
    QObject::connect(edit, &QLineEdit::textChanged, [&report] { report.start(); });
    QObject::connect(edit, &QLineEdit::returnPressed, [] { say("return"); });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit();
            return;
        }
        if (QByteArray(buffer, int(n)).contains("clear")) {
            edit->clear();
            report.stop();
            say("cleared");
        }
    });

    // Without a window manager the window takes the focus itself once it is mapped.
    QTimer focus;
    bool ready = false;
    QObject::connect(&focus, &QTimer::timeout, [&] {
        if (!window.isActiveWindow()) {
            window.activateWindow();
            window.raise();
        }
        edit->setFocus();
        if (!ready && window.isActiveWindow() && edit->hasFocus()) {
            ready = true;
            say("ready");
        }
    });
    focus.start(100);
    return app.exec();
}
