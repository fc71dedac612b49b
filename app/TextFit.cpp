#include "app/TextFit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QTimer>

namespace {
const char kOwnLook[] = "zorvelOwnStyleSheet";
const char kFittedLook[] = "zorvelFittedStyleSheet";
const qreal kSmallestPt = 7;

QPointer<TextFit>& watcher() {
    static QPointer<TextFit> instance;
    return instance;
}

// The room for a single-line text, or -1 for widgets whose text is not checked.
int roomFor(QWidget* w, QString* text) {
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->wordWrap() || Qt::mightBeRichText(label->text()))
            return -1;
        *text = label->text();
        return label->contentsRect().width() - 2 * label->margin() - qMax(0, label->indent());
    }
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
        *text = static_cast<QAbstractButton*>(w)->text();
        return w->width() - 22; // the indicator and its gap
    }
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        *text = button->text();
        return w->width() - 8;
    }
    return -1;
}

// Draws the widget's text at the given size, keeping the rest of its look.
void setFitted(QWidget* w, qreal pointSize) {
    const QString own = w->styleSheet();
    const QString size = QStringLiteral("font-size: %1pt;").arg(pointSize);
    // A sheet of rules gets one more rule; a sheet of declarations one more declaration.
    const QString fitted =
        own.contains(QLatin1Char('{'))
            ? own + QStringLiteral("\n%1{%2}").arg(QLatin1String(w->metaObject()->className()), size)
            : own + QLatin1Char('\n') + size;
    w->setProperty(kOwnLook, own);
    w->setProperty(kFittedLook, fitted);
    w->setStyleSheet(fitted);
}

// A text that wraps: smaller until its lines fit the label's height.
void fitWrapped(QLabel* label) {
    label->ensurePolished();
    const int height = label->contentsRect().height();
    const int width = label->contentsRect().width();
    QFont font = label->font();
    auto needed = [&](const QFont& f) {
        return QFontMetrics(f)
            .boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap | int(label->alignment()),
                          label->text())
            .height();
    };
    if (font.pointSizeF() <= 0 || Qt::mightBeRichText(label->text()) || needed(font) <= height)
        return;
    while (font.pointSizeF() > kSmallestPt && needed(font) > height)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    setFitted(label, font.pointSizeF());
}

// The widget's own style sheet again, unless its owner has set another one since.
void restore(QWidget* w) {
    const QVariant own = w->property(kOwnLook);
    if (!own.isValid())
        return;
    if (w->styleSheet() == w->property(kFittedLook).toString())
        w->setStyleSheet(own.toString());
    w->setProperty(kOwnLook, QVariant());
    w->setProperty(kFittedLook, QVariant());
}
} // namespace

void TextFit::watch(bool on) {
    if (on && !watcher()) {
        watcher() = new TextFit(qApp);
        qApp->installEventFilter(watcher());
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible())
                fit(window);
    } else if (!on && watcher()) {
        delete watcher();
        for (QWidget* w : QApplication::allWidgets())
            restore(w);
    }
}

void TextFit::fit(QWidget* window) {
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        restore(w);
        if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap()) {
            fitWrapped(label);
            continue;
        }
        QString text;
        const int room = roomFor(w, &text);
        if (room <= 0 || text.isEmpty() || text.contains(QLatin1Char('\n')))
            continue;
        w->ensurePolished();
        QFont font = w->font();
        if (QFontMetricsF(font).horizontalAdvance(text) <= room || font.pointSizeF() <= 0)
            continue;
        while (font.pointSizeF() > kSmallestPt && QFontMetricsF(font).horizontalAdvance(text) > room)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        setFitted(w, font.pointSizeF());
    }
}

bool TextFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && w->isWindow())
            fit(w);
        // The window retranslates itself when this event reaches it: fit the new texts afterwards.
        else if (event->type() == QEvent::LanguageChange && w->isWindow())
            QTimer::singleShot(0, w, [w] { fit(w); });
    }
    return QObject::eventFilter(watched, event);
}
