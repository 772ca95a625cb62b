// A stand-in ranking server for the end-to-end runs: listens on 127.0.0.1, writes its port
// to a file, and saves the bytes of each connection, in order, as <prefix>.1, <prefix>.2...
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <port-file> <output-prefix>\n", argv[0]);
        return 2;
    }
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 8) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("loopback_listener");
        return 1;
    }
    std::string portFile = argv[1];
    std::ofstream(portFile + ".tmp") << ntohs(address.sin_port) << "\n";
    std::rename((portFile + ".tmp").c_str(), portFile.c_str());

    for (int count = 1;; ++count) {
        int connection = accept(listener, nullptr, nullptr);
        if (connection < 0) continue;
        std::string bytes;
        char buffer[4096];
        for (ssize_t n; (n = read(connection, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
        close(connection);
        std::string name = std::string(argv[2]) + "." + std::to_string(count);
        std::ofstream(name + ".tmp", std::ios::binary) << bytes;
        std::rename((name + ".tmp").c_str(), name.c_str());
    }
}
