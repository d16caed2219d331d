#include "app/picture_name.h"

std::string picture_name(std::time_t when, int counter)
{
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&when));
    const std::string base = std::string("forced-vdp-") + stamp;
    return counter == 0 ? base + ".png" : base + "-" + std::to_string(counter) + ".png";
}
