// The library's one exported entry: the program calls it after loading the
// library, as it would register a component server.

#include "ComponentFactory.h"
#include "OrvexMotorServer.h"

extern "C" __attribute__((visibility("default"))) int
DllRegisterServer(Orvex::ComponentFactory* factory)
{
    if (!factory) {
        return -1;
    }
    factory->Register(QString::fromLatin1(Orvex::ProgId::MotorServer),
                      []() -> std::unique_ptr<Orvex::IComponent> {
                          return std::make_unique<Orvex::COrvexMotorServer>();
                      });
    return 0;
}
