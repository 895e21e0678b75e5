#include "config/sensors.h"

const char sensor_name[SENSOR_COUNT][10] = {
    "", "CA-210", "PC", "PR6XX", "K80/K10", "CA-410", "K80", "CR-100", "I1D3",
};
