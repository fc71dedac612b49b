#include "app/StartRequestHandler.h"

#include "app/ConfigStore.h"
#include "app/NoticeBox.h"

#include <QtDebug>

namespace {
const char* const kModeKeys[3] = {"TypingModel", "IntelligenceModel", "TranslationModel"};
const char* const kModeNotices[3] = {QT_TRANSLATE_NOOP("StartRequestHandler", "你已选择 打字模式"),
                                     QT_TRANSLATE_NOOP("StartRequestHandler", "你已选择 智能模式"),
                                     QT_TRANSLATE_NOOP("StartRequestHandler", "你已选择 翻译模式")};
} // namespace

StartRequestHandler::StartRequestHandler(QObject* parent) : QObject(parent) {
    qRegisterMetaType<StartRequest::TakeAction>();
}

StartRequestHandler::~StartRequestHandler() = default;

void StartRequestHandler::handle(const StartRequest& request) {
    switch (request.kind()) {
    case StartRequest::Show:
        emit showMainWindowRequested();
        break;
    case StartRequest::Take:
        qDebug() << "Start request ," << request.message();
        emit takeRequested(request.takeAction());
        break;
    case StartRequest::Mode:
        qDebug() << "Start request ," << request.message();
        switchMode(request.mode());
        break;
    case StartRequest::Invalid:
    case StartRequest::Help:
        break;
    }
}

void StartRequestHandler::switchMode(int mode) {
    ConfigStore& store = ConfigStore::instance();
    for (int key = 0; key < 3; ++key)
        store[QLatin1String(kModeKeys[key])] = key == mode ? 1 : 0;
    store.save();
    if (store["ClosePrompt"] == 0) {
        if (!m_notice)
            m_notice = std::make_unique<NoticeBox>();
        m_notice->showPromptFor(tr(kModeNotices[mode]), 500);
    }
}
