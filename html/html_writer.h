// Writes fragments of an HTML 3.2 page, in call order, to the stream it is handed.
#pragma once

#include <cstdio>
