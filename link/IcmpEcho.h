#pragma once
// One ICMP echo to an IPv4 address: "is the device there?". Tries, in order, a datagram ICMP
// socket (allowed to ordinary users where net.ipv4.ping_group_range admits them), a raw socket
// (root or CAP_NET_RAW), and the system's ping program, whose output is searched for "ttl=".

#include <string>

class CIcmpEcho {
public:
    enum class Method { None, Datagram, Raw, Program };

    // True when an echo reply from address arrived within timeoutMs. Method reports what was used.
    static bool Ping(const std::string &address, int timeoutMs, Method *used = nullptr);

    // True when a ping program's output reports a reply ("ttl=" in any case, as in "TTL=64").
    static bool OutputHasReply(const std::string &output);
};
