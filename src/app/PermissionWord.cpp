#include "app/PermissionWord.h"

namespace netmoth::app {

std::string_view permissionWord(std::int32_t authorizationStatus) {
    switch (authorizationStatus) {
        case 1:  // restricted
        case 2:  // denied
            return "denied";
        case 3:
            return "authorized";
        default:
            return "notDetermined";
    }
}

}  // namespace netmoth::app
