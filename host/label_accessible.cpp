#include "host/label_accessible.h"

#include "host/label.h"

#include <QAccessibleWidget>

namespace host {

namespace {

class LabelAccessible : public QAccessibleWidget {
public:
    explicit LabelAccessible(Label* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        const auto* label = static_cast<const Label*>(widget());
        if (kind == QAccessible::Name) {
            // A name given on purpose wins; otherwise what the user reads ("λ =", not "l =").
            const QString given = label->accessibleName();
            return given.isEmpty() ? label->shownText() : given;
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* labelFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(Label::staticMetaObject.className()) && object &&
        object->isWidgetType()) {
        return new LabelAccessible(static_cast<Label*>(object));
    }
    return nullptr;
}

} // namespace

void installLabelAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(labelFactory);
        return true;
    }();
    (void)installed;
}

} // namespace host
