// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/accessibility/reading_order.h"

#include "host/controls/label.h"
#include "host/controls/named_control.h"
#include "host/controls/option_button.h"
#include "host/controls/picture_box.h"

#include <QAccessibleWidget>
#include <QRegularExpression>

namespace host {

namespace {

const QRegularExpression& placeholder() {
    static const QRegularExpression pattern(QStringLiteral("\\{(\\w+)\\}"));
    return pattern;
}

// A control as the reader meets it: its parent and children come from the reading order, so the
// walk skips the surfaces, fillers and drawing parts that only the eye needs.
class Stop : public QAccessibleWidget {
public:
    Stop(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QAccessible::Role role() const override {
        const ReadingOrder* order = ReadingOrder::of(object());
        if (qobject_cast<const PictureBox*>(object()) && order && order->parentOf(object()) &&
            order->childrenOf(object()).isEmpty()) {
            return QAccessible::Graphic; // a picture alone: read by its description
        }
        return QAccessibleWidget::role();
    }

    int childCount() const override {
        const ReadingOrder* order = ReadingOrder::of(object());
        return order ? static_cast<int>(order->childrenOf(object()).size())
                     : QAccessibleWidget::childCount();
    }

    QAccessibleInterface* child(int index) const override {
        const ReadingOrder* order = ReadingOrder::of(object());
        if (!order) {
            return QAccessibleWidget::child(index);
        }
        const QList<QWidget*>& children = order->childrenOf(object());
        return index >= 0 && index < children.size()
                   ? QAccessible::queryAccessibleInterface(children.at(index))
                   : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const ReadingOrder* order = ReadingOrder::of(object());
        if (!order) {
            return QAccessibleWidget::indexOfChild(child);
        }
        return child ? static_cast<int>(order->childrenOf(object()).indexOf(
                           qobject_cast<QWidget*>(child->object())))
                     : -1;
    }

    QAccessibleInterface* parent() const override {
        const ReadingOrder* order = ReadingOrder::of(object());
        QWidget* parent = order ? order->parentOf(object()) : nullptr;
        return parent ? QAccessible::queryAccessibleInterface(parent) : QAccessibleWidget::parent();
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            const ReadingOrder* order = ReadingOrder::of(object());
            if (QString said = order ? order->phrase(object()) : QString(); !said.isEmpty()) {
                return said;
            }
            // A name given on purpose wins; otherwise what the user reads ("λ =", not "l =").
            const auto* label = qobject_cast<const Label*>(object());
            if (label && label->accessibleName().isEmpty()) {
                return label->shownText();
            }
        }
        return QAccessibleWidget::text(kind);
    }
};

// An option button met in its panel's grouping, which its frame only groups for the eye. It is
// pressed and read as checked as any radio button is.
class OptionStop : public Stop {
public:
    explicit OptionStop(QWidget* widget) : Stop(widget, QAccessible::RadioButton) {}

    QAccessible::State state() const override {
        QAccessible::State state = Stop::state();
        state.checkable = true;
        state.checked = static_cast<const OptionButton*>(object())->isChecked();
        return state;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + Stop::actionNames();
    }

    void doAction(const QString& name) override {
        if (name == pressAction()) {
            static_cast<OptionButton*>(object())->click();
        } else {
            Stop::doAction(name);
        }
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) {
        return nullptr;
    }
    if (widget->isWindow() && ReadingOrder::of(widget)) {
        return new Stop(widget, QAccessible::Window);
    }
    if (className == QLatin1String(PictureBox::staticMetaObject.className())) {
        return new Stop(widget, QAccessible::Grouping);
    }
    if (className == QLatin1String(Label::staticMetaObject.className())) {
        return new Stop(widget, QAccessible::StaticText);
    }
    if (className == QLatin1String(OptionButton::staticMetaObject.className())) {
        return new OptionStop(widget);
    }
    return nullptr;
}

} // namespace

ReadingOrder::ReadingOrder(QWidget& window) : QObject(&window), m_window(window) {}

void ReadingOrder::follow(std::span<const ReadingStop> stops) {
    QWidget& window = m_window;
    for (const ReadingStop& stop : stops) {
        auto* group = &namedControl<QWidget>(window, QString::fromUtf8(stop.control));
        m_children[&window] << group;
        m_parent.insert(group, &window);
        for (const Phrase& phrase : stop.phrases) {
            auto* speaker = &namedControl<QWidget>(window, QString::fromUtf8(phrase.control));
            m_children[group] << speaker;
            m_parent.insert(speaker, group);
            QList<Part>& parts = m_phrase[speaker];
            const QString pattern = QString::fromUtf8(phrase.pattern);
            qsizetype done = 0;
            for (const auto& match : placeholder().globalMatch(pattern)) {
                const Label* label = &namedControl<Label>(window, match.captured(1));
                parts << Part{pattern.mid(done, match.capturedStart() - done), label};
                done = match.capturedEnd();
                // A figure that changes changes the phrase that reads it.
                if (label != speaker) {
                    connect(label, &Label::captionChanged, this, [speaker] {
                        QAccessibleEvent changed(speaker, QAccessible::NameChanged);
                        QAccessible::updateAccessibility(&changed);
                    });
                }
            }
            parts << Part{pattern.mid(done), nullptr};
        }
    }
}

const QList<QWidget*>& ReadingOrder::childrenOf(const QObject* control) const {
    static const QList<QWidget*> none;
    const auto found = m_children.constFind(control);
    return found == m_children.constEnd() ? none : *found;
}

const ReadingOrder* ReadingOrder::of(const QObject* control) {
    const auto* widget = qobject_cast<const QWidget*>(control);
    const QWidget* window = widget ? widget->window() : nullptr;
    return window ? window->findChild<const ReadingOrder*>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

QWidget* ReadingOrder::parentOf(const QObject* control) const {
    return m_parent.value(control, nullptr);
}

QString ReadingOrder::phrase(const QObject* control) const {
    QString said;
    for (const Part& part : m_phrase.value(control)) {
        said += part.text + (part.label ? part.label->shownText() : QString());
    }
    return said.simplified();
}

void ReadingOrder::install() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    static_cast<void>(installed);
}

} // namespace host
