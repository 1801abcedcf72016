// The network every case of the sweep starts from, written straight into a
// freshly reset database (one round trip, so that the many runs of the
// sweep stay quick):
//
//   subsystems DAQ 2, TFC 3, ECS 5, LHC 7; device types SWITCH and BOARD;
//   link types data (2), ctrl (3), mgmt (5), aux (7), opt (11), far1 (7907)
//   and far2 (7919), and ca (21: ctrl and aux)
//   sw1 (DAQ,TFC, node 1): port 1 out, port 2 out (address 10.0.0.12)
//   sw2 (DAQ): port 1 in, port 2 in, port 3 out type eth (10.0.0.3)
//   sw3 (DAQ,ECS): port 1 in (10.0.0.4), port 2 out
//   sw4 (ECS): port 1 in              (shares no subsystem with sw1, sw2)
//   board1 (BOARD, DAQ): port 1 in; components c1 and c2 mounted on it
//   links: sw1 port 1 -> sw2 port 1 (data), sw2 port 3 -> sw3 port 1 (ctrl)
//   spare hardware SP-1
//
// Every device has its hardware item, serial number "SN-" and its name; the
// components have CS-1 and CS-2. The server's path data are brought in line
// with the links at the end, as the library leaves them after a change.
#pragma once

namespace sweep {

// Resets the database and writes the network.
void SeedNetwork();

}  // namespace sweep
