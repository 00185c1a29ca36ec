#pragma once

// The Bluetooth link behind an open terminal. A port bound with `rfcomm bind` connects when
// it is opened; until its link is up, bytes written to it only wait in its queue.
enum class BluetoothLink { None, Connecting, Up, Failed };

// None for a terminal that is no rfcomm port; otherwise the state of its link as the
// kernel reports it (Up where the kernel will not say).
BluetoothLink kernelBluetoothLink(int fd);
