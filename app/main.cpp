#include "app/AutoStart.h"
#include "app/ConfigStore.h"
#include "app/FontSetup.h"
#include "app/LogHandler.h"
#include "app/NoticeBox.h"
#include "app/ServicesConfig.h"
#include "app/SingleApplication.h"
#include "app/SpeechEngineSettings.h"
#include "app/StartRequestHandler.h"
#include "app/UiLanguage.h"
#include "app/WorkingFolder.h"
#include "custom/ApplicationScanner.h"
#include "platform/ProgramLauncher.h"
#include "platform/UserSession.h"
#include "result/ResultDispatcher.h"
#include "services/MouseConnectionMonitor.h"
#include "services/UpdateCheck.h"
#include "ui/FirstRunHint.h"
#include "ui/MainWindow.h"
#include "ui/SystemTray.h"
#include "voice/RecognitionThread.h"
#include "voice/SideKeyFeedback.h"
#include "voice/SideKeyMonitor.h"
#include "voice/SideKeyThread.h"
#include "voice/speech/SpeechService.h"

#include <QDateTime>
#include <QDir>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtDebug>
#include <cstdio>

// --help prints the usage (exit 0), an unknown argument the usage line (exit 2); -1 carries on.
static int answerCommandLine(const StartRequest& request) {
    if (request.kind() == StartRequest::Help) {
        std::fputs(qPrintable(StartRequest::usage()), stdout);
        return 0;
    }
    if (request.kind() == StartRequest::Invalid) {
        std::fprintf(stderr, "zorvel: unknown argument '%s'\n%s\n", qPrintable(request.refused()),
                     qPrintable(StartRequest::usageLine()));
        return 2;
    }
    return -1;
}

// Answered before the application object exists, which aborts without a display: --help, a word
// that is not ours, and a start whose windows could not be shown. Words with one dash may be Qt's
// own options (-platform, -display), which the application object takes first. -1 carries on.
static int answerBeforeGui(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartRequest request = StartRequest::parse(arguments);
    const QString refused = request.refused();
    if (request.kind() == StartRequest::Invalid && refused.startsWith(QLatin1Char('-')) &&
        !refused.startsWith(QLatin1String("--")))
        return -1;
    if (const int exitCode = answerCommandLine(request); exitCode >= 0)
        return exitCode;
    QString why;
    if (!UserSession::displayReachable(&why)) {
        std::fprintf(stderr, "zorvel: %s; Zorvel is a desktop program and needs a graphical session\n",
                     qPrintable(why));
        return 1;
    }
    return -1;
}

// Later starts reach the main window and the side key; this start's own request is carried out
// once the side key listens.
static void connectStartRequests(SingleApplication& app, StartRequestHandler& handler, MainWindow& mainWindow,
                                 SideKeyThread& sideKeyThread) {
    QObject::connect(&app, &SingleApplication::requestReceived, &handler, &StartRequestHandler::handle);
    QObject::connect(&handler, &StartRequestHandler::showMainWindowRequested, &mainWindow,
                     &MainWindow::showWindow);
    QObject::connect(
        &sideKeyThread, &SideKeyThread::monitorReady, &handler,
        [&app, &handler](SideKeyMonitor* monitor) {
            QObject::connect(&handler, &StartRequestHandler::takeRequested, monitor,
                             &SideKeyMonitor::remoteTake);
            if (app.startRequest().kind() != StartRequest::Show)
                handler.handle(app.startRequest());
        },
        Qt::QueuedConnection);
}

int main(int argc, char* argv[]) {
    // 1. Every message from here on goes through the log handler.
    qInstallMessageHandler(logMessageHandler);

    // 2. Application object; --help, unknown arguments and a missing display end before it.
    if (const int exitCode = answerBeforeGui(argc, argv); exitCode >= 0)
        return exitCode;
    SingleApplication app(argc, argv);
    if (const int exitCode = answerCommandLine(app.startRequest()); exitCode >= 0)
        return exitCode;

    // 3. Window icon of every window.
    app.setWindowIcon(QIcon(QStringLiteral(":/ico/images/zorvel.ico")));

    // 4. All files lie in the working folder: beside the executable, or per user when installed.
    const WorkingFolder folder = WorkingFolder::forExecutable(QCoreApplication::applicationDirPath());
    QDir().mkpath(folder.path());
    QDir::setCurrent(folder.path());

    // 5. and 6. The run's log file.
    const QString logDir = folder.path() + QStringLiteral("/logs");
    if (!QDir(logDir).exists())
        QDir().mkpath(logDir);
    setLogFileName(logFileNameFor(QDateTime::currentDateTime()));

    // 7. Another instance of this user already runs: it has our request, nothing else to do.
    app.startSingleInstance();
    if (app.isRunning())
        return 0;

    // A display that goes away ends the program at once, as nothing can be shown or typed any more.
    UserSession::endOnDisplayLoss();
    // The session's requests to end (logout, Ctrl+C) quit as the tray's quit entry does; one that
    // comes while the program is still starting is carried out once the main window is there.
    MainWindow* quitFrom = nullptr;
    bool endRequested = false;
    UserSession::onEndRequested(&app, [&quitFrom, &endRequested](const QString& request) {
        qDebug().noquote() << "Quit ," << request << "received, quitting";
        if (quitFrom)
            quitFrom->tray()->quitSystem();
        else
            endRequested = true;
    });

    // The program lives in the tray and ends only through the tray's quit entry; closing the
    // last of its windows (the first-run hints, for one) must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    installFontSubstitutions();
    ProgramLauncher::install();
    folder.prepare();
    qDebug().noquote() << "Working folder ," << folder.path();
    if (folder.isPerUser())
        ServicesConfig::instance().setShippedFile(folder.shippedPath() + QStringLiteral("/services.ini"));
    ServicesConfig::instance();
    // The windows speak the desktop's language (Chinese, otherwise English) or the user's choice.
    UiLanguage::apply(UiLanguage::choice());

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
        notice->showPromptFor(QCoreApplication::translate("main", "请按语音键说话"), 2000);
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
    auto typing = FocusTyping::create();
    FocusTyping* typingSeam = typing.get();
    ResultDispatcher dispatcher(nullptr, std::move(typing));
    // Where the desktop asks the user to allow remote input (GNOME), a refusal stops all typing.
    typingSeam->setRefusalHandler([&dispatcher] {
        const QString text = QCoreApplication::translate("main", "远程输入未获允许，文字无法输入！");
        qDebug().noquote() << "Notice ," << text;
        dispatcher.noticeBox()->showPromptFor(text, 5000);
    });

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
    StartRequestHandler startRequests;
    connectStartRequests(app, startRequests, mainWindow, sideKeyThread);
    sideKeyThread.setTakeQueue(&recognition.takes());
    QObject::connect(&recognition, &RecognitionThread::partialRecognised, &sideKeyFeedback,
                     &SideKeyFeedback::showWords);
    sideKeyThread.start();

    // Without a tray the main window is the only way in.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        mainWindow.showWindow();

    // From here on the tray's quit entry is there for the session's requests to end.
    quitFrom = &mainWindow;
    if (endRequested)
        QTimer::singleShot(0, mainWindow.tray(), &SystemTray::quitSystem);

    // 17.
    const int result = app.exec();

    // Worker threads end before their objects go: recognition first (a running session is
    // finished), then the side key, then the application scan.
    recognition.stop();
    sideKeyThread.quit();
    sideKeyThread.wait();
    recognition.wait();
    applicationScanner.wait();
    UserSession::endsInOrder();
    qDebug("Quit , worker threads stopped");
    return result;
}
