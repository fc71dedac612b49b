#include "platform/linux/PasteClipboard.h"

#include "platform/linux/DataControlClipboard.h"
#include "platform/linux/XSelectionClipboard.h"

#include <QtDebug>

std::unique_ptr<PasteClipboard> PasteClipboard::create() {
    auto dataControl = std::make_unique<DataControlClipboard>();
    if (dataControl->open())
        return dataControl;
    auto selection = std::make_unique<XSelectionClipboard>();
    if (selection->open())
        return selection;
    return nullptr;
}

PasteClipboard::Content PasteClipboard::textContent(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    Content content{{"text/plain;charset=utf-8", utf8}, {"UTF8_STRING", utf8}, {"text/plain", utf8}};
    // STRING is Latin-1: offered only where it holds the whole text.
    bool latin1 = true;
    for (const QChar c : text)
        latin1 = latin1 && c.unicode() < 0x100;
    if (latin1)
        content.append({"STRING", text.toLatin1()});
    return content;
}

void PasteClipboard::warnNotKept() {
    qWarning("Text injection , the clipboard's content could not be read within %d ms, it is not given back "
             "after the paste !",
             kSaveMs);
}
