#pragma once

#include <QByteArray>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVector>
#include <memory>

// A clipboard the program can fill while another window has the keyboard focus, so that a text
// the keyboard layout cannot type is pasted with a key every layout holds. hold() keeps what the
// clipboard offered before (every format it offered) and puts the text there; once a paste has
// read it, giveBack() offers the kept content again. The program stays the clipboard's owner
// afterwards and answers for the kept content until someone else copies.
class PasteClipboard : public QObject {
    Q_OBJECT
public:
    // Format name → data, in the order the owner offered them.
    using Content = QVector<QPair<QByteArray, QByteArray>>;

    using QObject::QObject;
    ~PasteClipboard() override = default;

    // The first clipboard of this session that works without the focus: the compositor's data
    // control (KWin, wlroots), else the X server's CLIPBOARD selection (Xwayland, which GNOME
    // passes on to its Wayland windows). Null when there is none.
    static std::unique_ptr<PasteClipboard> create();

    // Keeps the present content and offers the text instead; false when it could not.
    virtual bool hold(const QString& text) = 0;
    // Offers the content kept by the last hold() again (an empty clipboard stays empty).
    virtual void giveBack() = 0;
    // A short name for the log.
    virtual QString name() const = 0;

signals:
    // Someone read the held text.
    void textRead();

protected:
    // The longest hold() waits for the present content, all formats together: the program's
    // windows wait meanwhile.
    static const int kSaveMs = 1000;

    // The formats a text is offered in.
    static Content textContent(const QString& text);
    // Logs that the present content was not read within kSaveMs and will not come back.
    static void warnNotKept();
};
