#pragma once

// The panes of the instance tab's class area.
#include "instance/instancelclass.h"
#include "instance/instancesclass.h"
#include "instance/valuetable.h"
