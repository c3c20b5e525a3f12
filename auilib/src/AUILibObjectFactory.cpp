#include "AUILibObjectFactory.h"

#include "AUILibConfig.h"
#include "BaseGUIObject.h"

namespace AUILib {

AUILibObjectFactory* AUILibObjectFactory::Instance()
{
    static AUILibObjectFactory factory;
    return &factory;
}

void AUILibObjectFactory::Register(const std::string& className, std::shared_ptr<ICreator> creator)
{
    if (!creator)
        return;
    creators_.emplace(className, std::move(creator));
}

std::shared_ptr<BaseGUIObject> AUILibObjectFactory::Create(const std::string& className)
{
    // The configuration registers the controls: a process whose first act
    // is loading a form must not find the factory empty.
    GetAUILibConfig();
    auto found = creators_.find(className);
    if (found == creators_.end())
        return nullptr;
    return found->second->Create();
}

} // namespace AUILib
