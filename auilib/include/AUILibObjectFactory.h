// The control factory: Qt class names as written in forms, mapped to
// creators of the library controls. The configuration fills it once; every
// lookup makes sure the configuration exists first.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

namespace AUILib {

class BaseGUIObject;

class ICreator {
public:
    virtual ~ICreator() = default;
    virtual std::shared_ptr<BaseGUIObject> Create() = 0;
};

// Builds a T with its default constructor, in one allocation with its count.
template <typename T>
class Creator : public ICreator {
public:
    std::shared_ptr<BaseGUIObject> Create() override { return std::make_shared<T>(); }
};

class AUILibObjectFactory {
public:
    static AUILibObjectFactory* Instance();

    // The first creator of a name stays; a later one, or an empty one, is
    // dropped.
    void Register(const std::string& className, std::shared_ptr<ICreator> creator);
    // A new control for the class name (exact, case-sensitive), or an empty
    // pointer. An exception from the control's constructor passes through.
    std::shared_ptr<BaseGUIObject> Create(const std::string& className);

private:
    AUILibObjectFactory() = default;

    std::unordered_map<std::string, std::shared_ptr<ICreator>> creators_;
};

} // namespace AUILib
