#include "app/UserAccount.h"

#include "app/ApplicationFolder.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/SysUtils.h"

std::string UsersFolder() {
    return ApplicationFolder() + "user/";
}

std::string UserDatabaseFile(const std::string& UserCode) {
    return UsersFolder() + UserCode + "/maindata.mdb";
}

bool IsFolderName(const std::string& Code) {
    if (Code.find('/') != std::string::npos || Code.find('\\') != std::string::npos) return false;
    if (Code == "." || Code.find("..") != std::string::npos) return false;
    for (unsigned char c : Code)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

bool UserPasswordMatches(TADOConnection* Connection, const std::string& UserCode, const std::string& Password) {
    TADOQuery query(nullptr);
    query.SetConnection(Connection);
    query.SQL()->SetText("select username from pass where username=:username and trim(passone)=:passone");
    query.Parameters()->ParamByName("username")->SetValue(UserCode);
    query.Parameters()->ParamByName("passone")->SetValue(Trim(Password));
    query.Open();
    return !query.IsEmpty();
}
