// The colorimeters the front end can name with -dev, by id.
#pragma once

inline constexpr int SENSOR_COUNT = 9;
extern const char sensor_name[SENSOR_COUNT][10];
