// Root of every control: owns a small private record that later versions can
// extend without changing the size of the public object.
#pragma once

#include <cstdint>

namespace AUILib {

class AUIObject;

class AUIObjectImpl {
public:
    explicit AUIObjectImpl(AUIObject* owner) : owner_(owner) {}
    virtual ~AUIObjectImpl() = default;

    AUIObject* GetOwner() const { return owner_; }

private:
    AUIObject* owner_;
    uint64_t reserved_ = 0;
};

class AUIObject {
public:
    AUIObject();
    virtual ~AUIObject();

    AUIObject(const AUIObject&) = delete;
    AUIObject& operator=(const AUIObject&) = delete;

private:
    AUIObjectImpl* d_;
};

} // namespace AUILib
