#include "app/AutoStart.h"
#include "app/ConfigStore.h"
#include "app/FontSetup.h"
#include "app/LogHandler.h"
#include "app/NoticeBox.h"
#include "app/ServicesConfig.h"
#include "app/SingleApplication.h"
#include "app/SpeechEngineSettings.h"
#include "custom/ApplicationScanner.h"
#include "platform/ProgramLauncher.h"
#include "result/ResultDispatcher.h"
#include "services/MouseConnectionMonitor.h"
#include "services/UpdateCheck.h"
#include "ui/FirstRunHint.h"
#include "ui/MainWindow.h"
#include "ui/SystemTray.h"
#include "voice/RecognitionThread.h"
#include "voice/SideKeyFeedback.h"
#include "voice/SideKeyThread.h"
#include "voice/speech/SpeechService.h"

#include <QDateTime>
#include <QDir>
#include <QIcon>
#include <QtDebug>

int main(int argc, char* argv[]) {
    // 1. Every message from here on goes through the log handler.
    qInstallMessageHandler(logMessageHandler);

    // 2. Application object and single-instance test.
    SingleApplication app(argc, argv);

    // 3. Window icon of every window.
    app.setWindowIcon(QIcon(QStringLiteral(":/ico/images/zorvel.ico")));

    // 4. All files lie beside the executable.
    QDir::setCurrent(QCoreApplication::applicationDirPath());

    // 5. and 6. The run's log file.
    const QString logDir = QCoreApplication::applicationDirPath() + QStringLiteral("/logs");
    if (!QDir(logDir).exists())
        QDir().mkpath(logDir);
    setLogFileName(logFileNameFor(QDateTime::currentDateTime()));

    // 7. Another instance of this user already runs: it has our argument, nothing else to do.
    if (app.isRunning())
        return 0;

    // The program lives in the tray and ends only through the tray's quit entry; closing the
    // last of its windows (the first-run hints, for one) must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    installFontSubstitutions();
    ProgramLauncher::install();
    ServicesConfig::instance();

    // 8. Default settings on the first start, the application scan, then the store.
    writeDefaultConfig();
    ApplicationScanner applicationScanner;
    applicationScanner.start();
    ConfigStore& store = ConfigStore::instance();

    // 9.
    qDebug() << QStringLiteral("主程序启动");

    // 10. Start-up notice while the mouse was connected when last seen.
    if (store["ClosePrompt"] == 0 && store["MonitorZorvelMouseConnect"] == 1) {
        auto* notice = new NoticeBox;
        notice->showPromptFor(QStringLiteral("请按语音键说话"), 2000);
    }

    // 11. Start at logon follows BootUp; other values leave the entry alone.
    if (store["BootUp"] == 0)
        setAutoStart(false);
    else if (store["BootUp"] == 1)
        setAutoStart(true);

    // The speech engine; it logs in later, on the recognition thread.
    RecognitionThread recognition;

    // 12. First start: the first-use hints, and recognition languages the engine knows.
    if (store["FirstOpen"] == 0) {
        recognition.adaptLanguagesToEngine(store);
        store["FirstOpen"] = 1;
        store.save();
        auto* hint = new FirstRunHint;
        hint->show();
    }

    // 13. The long-lived objects, in this order.
    MainWindow mainWindow;
    MouseConnectionMonitor mouseConnectionMonitor;
    UpdateCheck updateCheck;
    ResultDispatcher dispatcher;

    // 14. Recognised text crosses to the GUI thread through a queued connection; the thread logs
    // in and uploads the user words before its first take, while the event loop already runs.
    QObject::connect(&recognition, &RecognitionThread::textRecognised, &dispatcher, &ResultDispatcher::write);
    QObject::connect(&recognition, &RecognitionThread::recognitionFailed, &dispatcher,
                     [&dispatcher](RecognitionThread::Failure failure) {
                         dispatcher.showRecognitionFailure(failure ==
                                                           RecognitionThread::Failure::LanguageRefused);
                     });

    // The tray tooltip follows the engine; new settings from the settings dialog take effect for
    // the next take (one already begun finishes on the old engine).
    const auto showEngine = [&mainWindow](RecognitionThread::EngineState state) {
        const auto status = state == RecognitionThread::EngineState::Ready ? SystemTray::EngineStatus::Ready
                            : state == RecognitionThread::EngineState::Failing
                                ? SystemTray::EngineStatus::Failing
                                : SystemTray::EngineStatus::Loading;
        mainWindow.tray()->showEngineStatus(SpeechEngineSettings::fromServicesConfig().usesServer(), status);
    };
    showEngine(recognition.engineState());
    QObject::connect(&recognition, &RecognitionThread::engineStateChanged, mainWindow.tray(), showEngine);
    QObject::connect(&mainWindow, &MainWindow::speechEngineChanged, &recognition, [&recognition] {
        qDebug() << "Speech engine , new settings saved; the next take uses them";
        recognition.setEngineFactory([] { return SpeechService::create(); });
    });
    recognition.start();

    // 15.
    QObject::connect(&dispatcher, &ResultDispatcher::activityReported, &mainWindow,
                     &MainWindow::appendActivity);

    // 16. The side key; its windows and notices live on this (GUI) thread.
    SideKeyFeedback sideKeyFeedback;
    SideKeyThread sideKeyThread(&sideKeyFeedback);
    sideKeyThread.setTakeQueue(&recognition.takes());
    QObject::connect(&recognition, &RecognitionThread::partialRecognised, &sideKeyFeedback,
                     &SideKeyFeedback::showWords);
    sideKeyThread.start();

    // 17.
    const int result = app.exec();

    // Worker threads end before their objects go: recognition first (a running session is
    // finished), then the side key, then the application scan.
    recognition.stop();
    sideKeyThread.quit();
    sideKeyThread.wait();
    recognition.wait();
    applicationScanner.wait();
    return result;
}
