#include "app/AutoStart.h"
#include "app/ConfigStore.h"
#include "app/FontSetup.h"
#include "app/LogHandler.h"
#include "app/PromptBox.h"
#include "app/QSingleApplication.h"
#include "app/ServicesConfig.h"

#include <QDateTime>
#include <QDir>
#include <QIcon>
#include <QtDebug>

int main(int argc, char* argv[]) {
    // 1. Every message from here on goes through the log handler.
    qInstallMessageHandler(logMessageHandler);

    // 2. Application object and single-instance test.
    QSingleApplication app(argc, argv);

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

    installFontSubstitutions();
    ServicesConfig::instance();

    // 8. Default settings on the first start, then the store.
    writeDefaultConfig();
    ConfigStore& store = ConfigStore::instance();

    // 9.
    qDebug() << QStringLiteral("主程序启动");

    // 10. Start-up notice while the mouse was connected when last seen.
    if (store["ClosePrompt"] == 0 && store["MonitorZorvelMouseConnect"] == 1) {
        auto* notice = new PromptBox;
        notice->showPromptFor(QStringLiteral("请按语音键说话"), 2000);
    }

    // 11. Start at logon follows BootUp; other values leave the entry alone.
    if (store["BootUp"] == 0)
        setAutoStart(false);
    else if (store["BootUp"] == 1)
        setAutoStart(true);

    // 12. First start.
    if (store["FirstOpen"] == 0) {
        store["FirstOpen"] = 1;
        store.save();
    }

    // 17.
    const int result = app.exec();
    return result;
}
