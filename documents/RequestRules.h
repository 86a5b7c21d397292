// What the project application window's rules share: a rule as a table row,
// and the error that names the field whose text is no number.
#pragma once

#include "platform/rtl/SysUtils.h"
#include "platform/ui/WinTypes.h"

#include <functional>
#include <string>

class TWinControl;

// A save rule: when Refused, Message in a box with Icon, then Page (-1: none)
// and the focus on the control named Focus (nullptr: none).
struct TRequestRule {
    std::function<bool()> Refused;
    const char* Message;
    UINT Icon;
    int Page;
    const char* Focus;
};

// A field whose text a rule or the gathering had to read as a number and
// could not: the save shows Control's page, focuses it and shows the message.
class EFieldConvertError : public EConvertError {
public:
    EFieldConvertError(const std::string& Message, TWinControl* Field) : EConvertError(Message), Control(Field) {}
    TWinControl* Control;
};
