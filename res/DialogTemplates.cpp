#include "res/DialogTemplate.h"

namespace pw {

extern const DialogTemplate kMainDialogTemplate;
extern const DialogTemplate kAboutDialogTemplate;

const DialogTemplate* FindDialogTemplate(int templateId) {
    static const DialogTemplate* const kTemplates[] = {
        &kMainDialogTemplate,
        &kAboutDialogTemplate,
    };
    for (const DialogTemplate* t : kTemplates)
        if (t->id == templateId)
            return t;
    return nullptr;
}

}  // namespace pw
