#include "html_writer.h"
