// The virtual mouse's server tests again, here over Winsock: the socket wrapper's Windows half
// (WSAPoll, shutdown, a refused second client, a port in use) under Wine.
#include "tests/unit/vmouse_server_test.cpp"
