#include "http/Cookies.h"
