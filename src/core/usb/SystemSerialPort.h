#pragma once

// The serial port of the system the program was built for.
#ifdef _WIN32
#include "usb/WinSerialPort.h"
namespace zorel8z::usb {
using SystemSerialPort = WinSerialPort;
}
#else
#include "usb/QtSerialPort.h"
namespace zorel8z::usb {
using SystemSerialPort = QtSerialPort;
}
#endif
