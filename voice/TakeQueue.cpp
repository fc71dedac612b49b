#include "voice/TakeQueue.h"

#include "app/ConfigStore.h"

#include <QMutexLocker>

const char* const TakeQueue::sessionRows[5] = {
    "sub = iat, domain = iat, language = zh_cn, accent = mandarin, sample_rate = 16000, result_type = plain, "
    "result_encoding = utf-8",
    "sub = iat, domain = iat, language = en_us, sample_rate = 16000, result_type = plain, result_encoding = "
    "utf-8",
    "sub = iat, domain = iat, language = zh_cn, accent = cantonese, sample_rate = 16000, result_type = "
    "plain, "
    "result_encoding = utf-8",
    "sub = iat, domain = iat, language = zh_cn, accent = lmz, sample_rate = 16000, result_type = plain, "
    "result_encoding = utf-8",
    "sub = iat, domain = iat, language = zh_cn, accent = henanese, sample_rate = 16000, result_type = plain, "
    "result_encoding = utf-8",
};

int TakeQueue::chooseLanguage(ConfigStore& store, int previous) {
    const struct {
        const char* modeKey;
        const char* languageKey;
        int languages;
    } modes[] = {{"TypingModel", "TypingLanguage", 5},
                 {"IntelligenceModel", "IntelligenceLanguage", 5},
                 {"TranslationModel", "TranslationLanguage", 3}};
    int language = previous;
    for (const auto& mode : modes) {
        if (store.value(QLatin1String(mode.modeKey)) != 1)
            continue;
        const int index = store.value(QLatin1String(mode.languageKey));
        if (index >= 0 && index < mode.languages)
            language = index;
    }
    return language;
}

TakeQueue::TakePtr TakeQueue::push(const QByteArray& samples, bool closed) {
    ConfigStore& store = ConfigStore::instance();
    QMutexLocker lock(&m_mutex);
    m_language = chooseLanguage(store, m_language);
    auto take = std::make_shared<Take>(m_nextId++, QByteArray(sessionRows[m_language]), m_language);
    take->m_samples = samples;
    take->m_totalBytes = samples.size();
    take->m_closed = closed;
    m_latestId = take->id();
    m_takes.push_back(take);
    if (closed)
        raiseFlag();
    m_changed.wakeAll();
    return take;
}

TakeQueue::TakePtr TakeQueue::begin() {
    return push(QByteArray(), false);
}

TakeQueue::TakePtr TakeQueue::addClosed(const QByteArray& samples) {
    return push(samples, true);
}

void TakeQueue::append(const TakePtr& take, const QByteArray& samples) {
    if (samples.isEmpty())
        return;
    QMutexLocker lock(&m_mutex);
    if (take->m_closed || take->m_cancelled)
        return;
    take->m_samples += samples;
    take->m_totalBytes += samples.size();
    m_changed.wakeAll();
}

void TakeQueue::raiseFlag() {
    ConfigStore& store = ConfigStore::instance();
    if (store["IsRecording"] != 1) {
        store["IsRecording"] = 1;
        store.save();
    }
}

void TakeQueue::close(const TakePtr& take) {
    QMutexLocker lock(&m_mutex);
    if (take->m_closed || take->m_cancelled)
        return;
    take->m_closed = true;
    raiseFlag();
    m_changed.wakeAll();
}

void TakeQueue::cancel(const TakePtr& take) {
    QMutexLocker lock(&m_mutex);
    if (take->m_closed || take->m_cancelled)
        return;
    take->m_cancelled = true;
    take->m_samples.clear();
    m_changed.wakeAll();
}

TakeQueue::TakePtr TakeQueue::waitForFront() {
    QMutexLocker lock(&m_mutex);
    while (m_takes.empty() && !m_stop && !m_woken) {
        m_changed.wait(&m_mutex);
        ++m_wakeUps;
    }
    m_woken = false;
    if (m_stop || m_takes.empty())
        return nullptr;
    return m_takes.front();
}

TakeQueue::Portion TakeQueue::waitForSamples(const TakePtr& take) {
    QMutexLocker lock(&m_mutex);
    while (take->m_samples.isEmpty() && !take->m_closed && !take->m_cancelled && !m_stop) {
        m_changed.wait(&m_mutex);
        ++m_wakeUps;
    }
    Portion portion;
    portion.samples = take->m_samples;
    take->m_samples.clear();
    portion.closed = take->m_closed;
    portion.cancelled = take->m_cancelled;
    portion.stopping = m_stop;
    return portion;
}

bool TakeQueue::finish(const TakePtr& take, const std::function<void()>& ifLatest) {
    QMutexLocker lock(&m_mutex);
    // Under the lock, so that no take begins between the check and what follows from it.
    const bool latest = take->id() == m_latestId;
    if (latest && ifLatest)
        ifLatest();
    for (auto it = m_takes.begin(); it != m_takes.end(); ++it) {
        if (*it == take) {
            m_takes.erase(it);
            break;
        }
    }
    lowerFlagLocked();
    return latest;
}

void TakeQueue::lowerFlagIfIdle() {
    QMutexLocker lock(&m_mutex);
    lowerFlagLocked();
}

void TakeQueue::lowerFlagLocked() {
    for (const TakePtr& take : m_takes)
        if (take->m_closed)
            return;
    ConfigStore& store = ConfigStore::instance();
    if (store["IsRecording"] != 0) {
        store["IsRecording"] = 0;
        store.save();
    }
}

void TakeQueue::stop() {
    QMutexLocker lock(&m_mutex);
    m_stop = true;
    m_changed.wakeAll();
}

bool TakeQueue::stopRequested() const {
    QMutexLocker lock(&m_mutex);
    return m_stop;
}

void TakeQueue::wake() {
    QMutexLocker lock(&m_mutex);
    m_woken = true;
    m_changed.wakeAll();
}

TakeQueue::State TakeQueue::state(const TakePtr& take) const {
    QMutexLocker lock(&m_mutex);
    return take->m_cancelled ? State::Cancelled : take->m_closed ? State::Released : State::Held;
}

bool TakeQueue::whileHeld(const TakePtr& take, const std::function<void()>& report) {
    QMutexLocker lock(&m_mutex);
    if (take->m_closed || take->m_cancelled)
        return false;
    report();
    return true;
}

int TakeQueue::size() const {
    QMutexLocker lock(&m_mutex);
    return int(m_takes.size());
}

QByteArray TakeQueue::sessionParams() const {
    QMutexLocker lock(&m_mutex);
    return sessionRows[m_language];
}

qint64 TakeQueue::wakeUps() const {
    QMutexLocker lock(&m_mutex);
    return m_wakeUps;
}
