#include "res/DialogTemplate.h"

namespace pw {

extern const DialogTemplate kMainDialogTemplate;
extern const DialogTemplate kAboutDialogTemplate;
extern const DialogTemplate kOptionsDialogTemplate;
extern const DialogTemplate kTiffInfoDialogTemplate;
extern const DialogTemplate kPageRangeDialogTemplate;

const DialogTemplate* FindDialogTemplate(int templateId) {
    static const DialogTemplate* const kTemplates[] = {
        &kMainDialogTemplate,
        &kAboutDialogTemplate,
        &kOptionsDialogTemplate,
        &kTiffInfoDialogTemplate,
        &kPageRangeDialogTemplate,
    };
    for (const DialogTemplate* t : kTemplates)
        if (t->id == templateId)
            return t;
    return nullptr;
}

}  // namespace pw
