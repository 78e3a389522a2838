#include "hidusb.h"
