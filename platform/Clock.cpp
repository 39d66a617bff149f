// The local date and time as text.
#include "platform/Clock.h"

#include <windows.h>

namespace bw::platform {

std::string NowText() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[128] = "";
    char time[128] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, sizeof time);
    return std::string(date) + " " + time;
}

}  // namespace bw::platform
