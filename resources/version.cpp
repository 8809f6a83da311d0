#include "resources/version.h"

const char* VersionText() {
    return VANTORO_VERSION;
}

const char* ApplicationId() {
    return VANTORO_APP_ID;
}
