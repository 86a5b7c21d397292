// One environment variable changed for one test and put back afterwards, as
// it was: with its old value, or unset.
#pragma once

#include <optional>
#include <string>

class TScopedEnvironmentVariable {
public:
    // Remembers the variable and leaves it as it is.
    explicit TScopedEnvironmentVariable(std::string Name);
    // Remembers the variable and sets it to Value.
    TScopedEnvironmentVariable(std::string Name, const std::string& Value);
    ~TScopedEnvironmentVariable();
    TScopedEnvironmentVariable(const TScopedEnvironmentVariable&) = delete;
    TScopedEnvironmentVariable& operator=(const TScopedEnvironmentVariable&) = delete;

    void Set(const std::string& Value) const;
    void Unset() const;

private:
    std::string FName;
    std::optional<std::string> FOld;
};
