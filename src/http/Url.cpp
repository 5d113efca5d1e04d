#include "http/Url.h"
