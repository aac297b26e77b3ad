#include "ui/LoadedForms.h"

#include <QPointer>
#include <algorithm>

namespace gapwell {

namespace {
std::vector<QPointer<QWidget>>& Forms() {
    static std::vector<QPointer<QWidget>> forms;
    return forms;
}
}  // namespace

void LoadedForms::Add(QWidget* form) {
    Remove(form);
    Forms().emplace_back(form);
}

void LoadedForms::Remove(QWidget* form) {
    auto& forms = Forms();
    forms.erase(
        std::remove_if(forms.begin(), forms.end(),
                       [form](const QPointer<QWidget>& f) { return f.isNull() || f == form; }),
        forms.end());
}

std::vector<QWidget*> LoadedForms::All() {
    std::vector<QWidget*> loaded;
    for (const auto& form : Forms()) {
        if (!form.isNull()) {
            loaded.push_back(form.data());
        }
    }
    return loaded;
}

bool LoadedForms::AnyNamed(const QString& part) {
    const std::vector<QWidget*> forms = All();
    return std::any_of(forms.begin(), forms.end(), [&part](const QWidget* form) {
        return form->objectName().contains(part, Qt::CaseSensitive);
    });
}

}  // namespace gapwell
