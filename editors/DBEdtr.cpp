// Field routines of the data-aware editors.
#include "editors/DBEdtr.h"

#include "platform/data/DB.h"

namespace cvDBEdtr {

bool CanModifyLookupKey(const TField* Field) {
    if (!Field || !Field->DataSet()) return false;
    const TField* key = Field->DataSet()->FindField(Field->KeyFields());
    return key && key->CanModify();
}

} // namespace cvDBEdtr
