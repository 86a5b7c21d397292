// setenv/unsetenv on the process environment: tests that use it must not run
// on several threads, which GoogleTest does not do.
#include "tests/support/ScopedEnvironmentVariable.h"

#include <cstdlib>
#include <utility>

TScopedEnvironmentVariable::TScopedEnvironmentVariable(std::string Name) : FName(std::move(Name)) {
    if (const char* old = std::getenv(FName.c_str())) FOld = old;
}

TScopedEnvironmentVariable::TScopedEnvironmentVariable(std::string Name, const std::string& Value)
    : TScopedEnvironmentVariable(std::move(Name)) {
    Set(Value);
}

TScopedEnvironmentVariable::~TScopedEnvironmentVariable() {
    if (FOld)
        Set(*FOld);
    else
        Unset();
}

void TScopedEnvironmentVariable::Set(const std::string& Value) const {
    setenv(FName.c_str(), Value.c_str(), 1);
}

void TScopedEnvironmentVariable::Unset() const {
    unsetenv(FName.c_str());
}
