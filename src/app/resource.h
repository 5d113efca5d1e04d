// Resource identifiers shared by app.rc and the code.
#pragma once

#define VD_IDI_APP 1
