// The English text of a Winsock error code, as the "Winsock Error" box shows
// it for every network set-up failure.
#pragma once

// A constant text for the code; "Not a WinSock error" for any code without
// one (0 and 10072 to 10090 among them). Never null.
const char* WinsockErrorText(int code);
