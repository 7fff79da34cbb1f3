// The stand-in's arguments in UTF-8, as Skeld takes them on every system.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> utf8_arguments(int argc, char** argv);
