#pragma once

#include <QUrl>
#include <QWidget>

class QNetworkAccessManager;
class QNetworkReply;

// Asks the update service for the newest version and compares it, as text, with our own "1.30".
// Constructing it runs the start-up check, whose result the update policy turns into a window;
// checkManually() is the tray's "软件更新": the product page on a newer version, otherwise the
// notice "已是最新版本".
class UpdateCheck : public QWidget {
    Q_OBJECT
public:
    explicit UpdateCheck(QWidget* parent = nullptr);

    static QString ownVersion();
    // A version answer is a few hundred bytes; anything past this is refused unread.
    static constexpr qint64 kMaxReplyBytes = 1024 * 1024;
    // GET address of the update request on the server from "services.ini".
    static QUrl updateUrl();
    static QUrl productPage();

    // The version text of a reply body: false unless it is a JSON object whose "data" object holds
    // "version" as a string.
    static bool readVersion(const QByteArray& body, QString* version);
    // Text order, code unit by code unit: "1.31" and "1.4" are newer than "1.30", "1.100" is not.
    static bool isNewer(const QString& version);

    // The manual check. Returns the pending reply, which is released with its manager once
    // handled (tests wait for its destruction).
    static QNetworkReply* checkManually();

signals:
    // The start-up reply has been handled (whatever it held).
    void startupCheckFinished();

private:
    // The whole request, from sending to the last byte ("timeout_ms" of [update] in services.ini).
    static int deadlineMs();
    static QNetworkReply* sendRequest(QNetworkAccessManager* manager);
    // The steps both handlers share; false when the reply holds no usable version.
    static bool readReply(QNetworkReply* reply, QString* version);
    void handleStartupReply(QNetworkReply* reply);
    static void handleManualReply(QNetworkReply* reply);
};
