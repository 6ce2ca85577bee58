#include "host/reading_order.h"

#include "host/label.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "host/window.h"

#include <QAccessibleWidget>
#include <QRegularExpression>

namespace host {

namespace {

const QRegularExpression& placeholder() {
    static const QRegularExpression pattern(QStringLiteral("\\{(\\w+)\\}"));
    return pattern;
}

const ReadingOrder* orderOf(const QObject* object) {
    const auto* widget = qobject_cast<const QWidget*>(object);
    const auto* window = widget ? qobject_cast<const Window*>(widget->window()) : nullptr;
    return window ? window->readingOrder() : nullptr;
}

// A control as the reader meets it: its parent and children come from the reading order, so the
// walk skips the surfaces, fillers and drawing parts that only the eye needs.
class Stop : public QAccessibleWidget {
public:
    Stop(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QAccessible::Role role() const override {
        const ReadingOrder* order = orderOf(object());
        if (qobject_cast<const PictureBox*>(object()) && order && order->parentOf(object()) &&
            order->childrenOf(object()).isEmpty()) {
            return QAccessible::Graphic; // the atom picture: read by its description
        }
        return QAccessibleWidget::role();
    }

    int childCount() const override {
        const ReadingOrder* order = orderOf(object());
        return order ? static_cast<int>(order->childrenOf(object()).size())
                     : QAccessibleWidget::childCount();
    }

    QAccessibleInterface* child(int index) const override {
        const ReadingOrder* order = orderOf(object());
        if (!order) {
            return QAccessibleWidget::child(index);
        }
        const QList<QWidget*>& children = order->childrenOf(object());
        return index >= 0 && index < children.size()
                   ? QAccessible::queryAccessibleInterface(children.at(index))
                   : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const ReadingOrder* order = orderOf(object());
        if (!order) {
            return QAccessibleWidget::indexOfChild(child);
        }
        return child ? static_cast<int>(order->childrenOf(object()).indexOf(
                           qobject_cast<QWidget*>(child->object())))
                     : -1;
    }

    QAccessibleInterface* parent() const override {
        const ReadingOrder* order = orderOf(object());
        QWidget* parent = order ? order->parentOf(object()) : nullptr;
        return parent ? QAccessible::queryAccessibleInterface(parent) : QAccessibleWidget::parent();
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            const ReadingOrder* order = orderOf(object());
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

QAccessibleInterface* factory(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) {
        return nullptr;
    }
    if (className == QLatin1String(Window::staticMetaObject.className())) {
        return new Stop(widget, QAccessible::Window);
    }
    if (className == QLatin1String(PictureBox::staticMetaObject.className()) ||
        className == QLatin1String(Frame::staticMetaObject.className())) {
        return new Stop(widget, QAccessible::Grouping);
    }
    if (className == QLatin1String(Label::staticMetaObject.className())) {
        return new Stop(widget, QAccessible::StaticText);
    }
    return nullptr;
}

} // namespace

ReadingOrder::ReadingOrder(QWidget& window, std::span<const ui::ReadingStop> stops)
    : m_window(window) {
    const auto find = [&](const char* name) {
        auto* found = window.findChild<QWidget*>(QString::fromUtf8(name));
        Q_ASSERT_X(found, "ReadingOrder", name);
        return found;
    };
    for (const ui::ReadingStop& stop : stops) {
        QWidget* group = find(stop.control);
        m_children[&window] << group;
        m_parent.insert(group, &window);
        for (const ui::Phrase& phrase : stop.phrases) {
            QWidget* speaker = find(phrase.control);
            m_children[group] << speaker;
            m_parent.insert(speaker, group);
            m_pattern.insert(speaker, QString::fromUtf8(phrase.pattern));
            m_speakers << speaker;
        }
    }
    // A figure that changes changes the phrase that reads it.
    for (Label* label : window.findChildren<Label*>()) {
        QObject::connect(label, &Label::captionChanged, &window, [this, label] {
            for (QWidget* speaker : speakersFor(label)) {
                QAccessibleEvent changed(speaker, QAccessible::NameChanged);
                QAccessible::updateAccessibility(&changed);
            }
        });
    }
}

const QList<QWidget*>& ReadingOrder::childrenOf(const QObject* control) const {
    static const QList<QWidget*> none;
    const auto found = m_children.constFind(control);
    return found == m_children.constEnd() ? none : *found;
}

QWidget* ReadingOrder::parentOf(const QObject* control) const {
    return m_parent.value(control, nullptr);
}

QString ReadingOrder::phrase(const QObject* control) const {
    QString said = m_pattern.value(control);
    for (const auto& match : placeholder().globalMatch(m_pattern.value(control))) {
        const auto* label = m_window.findChild<const Label*>(match.captured(1));
        said.replace(match.captured(0), label ? label->shownText() : QString());
    }
    return said.simplified();
}

QList<QWidget*> ReadingOrder::speakersFor(const QObject* label) const {
    QList<QWidget*> speakers;
    const QString mention = QLatin1Char('{') + label->objectName() + QLatin1Char('}');
    for (QWidget* speaker : m_speakers) {
        if (m_pattern.value(speaker).contains(mention)) {
            speakers << speaker;
        }
    }
    return speakers;
}

void ReadingOrder::install() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    static_cast<void>(installed);
}

} // namespace host
