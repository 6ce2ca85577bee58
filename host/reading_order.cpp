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
    const Window* window = widget ? Window::of(widget) : nullptr;
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

// An orbit button met in its panel's grouping, which its frame only groups for the eye. It is
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

// A control of the reading order by name; a name the window lacks stops the program in every
// build, as a wrong name asked of the window does.
template <class Control> Control* named(const QWidget& window, const QString& name) {
    auto* found = window.findChild<Control*>(name);
    if (found == nullptr) {
        qFatal("ReadingOrder: no %s of that kind in the window", qPrintable(name));
    }
    return found;
}

QAccessibleInterface* factory(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) {
        return nullptr;
    }
    if (className == QLatin1String(Window::staticMetaObject.className())) {
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

ReadingOrder::ReadingOrder(QWidget& window, std::span<const ui::ReadingStop> stops)
    : QObject(&window) {
    for (const ui::ReadingStop& stop : stops) {
        auto* group = named<QWidget>(window, QString::fromUtf8(stop.control));
        m_children[&window] << group;
        m_parent.insert(group, &window);
        for (const ui::Phrase& phrase : stop.phrases) {
            auto* speaker = named<QWidget>(window, QString::fromUtf8(phrase.control));
            m_children[group] << speaker;
            m_parent.insert(speaker, group);
            QList<Part>& parts = m_phrase[speaker];
            const QString pattern = QString::fromUtf8(phrase.pattern);
            qsizetype done = 0;
            for (const auto& match : placeholder().globalMatch(pattern)) {
                const Label* label = named<Label>(window, match.captured(1));
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
