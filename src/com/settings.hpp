// Where the server finds its configuration on a Windows machine.
//
// The home folder (holding INI\MESconfig.ini) is the environment variable VELMORA_HOME when it
// is set and not empty, else the value "Home" under HKEY_CURRENT_USER\Software\Velmora, else the
// same value under HKEY_LOCAL_MACHINE\Software\Velmora, else "" (none). The class created for
// each check run's configuration reader is the value "IniFileProgID" under the same keys, by
// default "Velmora.IniFile".
#pragma once

#include <string>

namespace velmora::com {

std::string configuredHome();
std::wstring iniFileProgId();

}  // namespace velmora::com
