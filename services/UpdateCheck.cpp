#include "services/UpdateCheck.h"

#include "app/ConfigStore.h"
#include "app/LogText.h"
#include "app/NoticeBox.h"
#include "app/ReplyLimiter.h"
#include "app/ServicesConfig.h"
#include "services/UpdateAtStartDialog.h"
#include "services/UpdateReminder.h"

#include <QApplication>
#include <QDesktopServices>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QtDebug>

UpdateCheck::UpdateCheck(QWidget* parent) : QWidget(parent) {
    auto* manager = new QNetworkAccessManager;
    connect(manager, &QNetworkAccessManager::finished, this, &UpdateCheck::handleStartupReply);
    sendRequest(manager);
}

QString UpdateCheck::ownVersion() {
    return QStringLiteral("1.30");
}

QUrl UpdateCheck::updateUrl() {
    QString server = ServicesConfig::instance().text(QStringLiteral("update/server"),
                                                     QStringLiteral("http://api.zorvel.com:8001"));
    while (server.endsWith(QLatin1Char('/')))
        server.chop(1);
    return QUrl(server + QStringLiteral("/api2/public/v1/app/update?device=1&client=4&version=0"));
}

QUrl UpdateCheck::productPage() {
    return ServicesConfig::instance().productPage();
}

bool UpdateCheck::readVersion(const QByteArray& body, QString* version) {
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject())
        return false;
    const QJsonValue data = document.object().value(QLatin1String("data"));
    if (!data.isObject())
        return false;
    const QJsonValue value = data.toObject().value(QLatin1String("version"));
    if (!value.isString())
        return false;
    if (version)
        *version = value.toString();
    return true;
}

bool UpdateCheck::isNewer(const QString& version) {
    return version > ownVersion();
}

int UpdateCheck::deadlineMs() {
    const int ms = ServicesConfig::instance().number(QStringLiteral("update/timeout_ms"), 10000);
    if (ms > 0)
        return ms;
    qWarning("Update , timeout_ms must be positive, using 10000 !");
    return 10000;
}

QNetworkReply* UpdateCheck::sendRequest(QNetworkAccessManager* manager) {
    QNetworkReply* reply =
        ReplyLimiter::get(manager, QNetworkRequest(updateUrl()), kMaxReplyBytes, deadlineMs());
    // The manager goes with its one reply.
    QObject::connect(reply, &QObject::destroyed, manager, &QObject::deleteLater);
    return reply;
}

bool UpdateCheck::readReply(QNetworkReply* reply, QString* version) {
    if (reply->error() != QNetworkReply::NoError)
        qWarning().noquote() << "Error:" << LogText::cut(reply->errorString());
    switch (ReplyLimiter::verdict(reply)) {
    case ReplyLimiter::TooLarge:
        qWarning("Update , reply larger than %lld bytes refused !", kMaxReplyBytes);
        return false;
    case ReplyLimiter::TooSlow:
        qWarning("Update , no complete reply within %d ms, request aborted !", deadlineMs());
        return false;
    case ReplyLimiter::Within:
        break;
    }
    const QByteArray body = reply->isOpen() ? reply->readAll() : QByteArray();
    if (!readVersion(body, version))
        return false;
    qDebug().noquote() << QStringLiteral("当前版本：") + ownVersion();
    return true;
}

void UpdateCheck::handleStartupReply(QNetworkReply* reply) {
    reply->deleteLater();
    QString version;
    if (readReply(reply, &version)) {
        ConfigStore& store = ConfigStore::instance();
        if (!isNewer(version)) {
            qDebug("Your software is the newest version !");
        } else {
            if (store["AutomaticUpdate"] == 1) {
                auto* box = new UpdateAtStartDialog;
                box->show();
                QApplication::setQuitOnLastWindowClosed(false);
            }
            if (store["ReminderUpdate"] == 1 || store["NotUpdate"] == 1) {
                auto* reminder = new UpdateReminder;
                reminder->show();
                QApplication::setQuitOnLastWindowClosed(false);
            }
        }
    }
    emit startupCheckFinished();
}

QNetworkReply* UpdateCheck::checkManually() {
    auto* manager = new QNetworkAccessManager;
    QObject::connect(manager, &QNetworkAccessManager::finished, &UpdateCheck::handleManualReply);
    return sendRequest(manager);
}

void UpdateCheck::handleManualReply(QNetworkReply* reply) {
    reply->deleteLater();
    QString version;
    if (!readReply(reply, &version))
        return;
    if (isNewer(version)) {
        QDesktopServices::openUrl(productPage());
    } else {
        auto* notice = new NoticeBox;
        notice->showPromptFor(tr("已是最新版本"), 500);
        // Each check has its own box; it goes once it has been seen.
        QTimer::singleShot(2000, notice, &QObject::deleteLater);
    }
}
