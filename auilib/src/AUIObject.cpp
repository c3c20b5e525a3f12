#include "AUIObject.h"

namespace AUILib {

AUIObject::AUIObject() : d_(new AUIObjectImpl(this)) {}

AUIObject::~AUIObject()
{
    AUIObjectImpl* record = d_;
    d_ = nullptr;
    delete record;
}

} // namespace AUILib
