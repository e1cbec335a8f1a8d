#!/usr/bin/env python3
"""A hostile request to the page's server, sent as raw bytes (curl will not send these):
prints the status line of the answer, "" when none came.

  raw_request.py HOST:PORT megabyte   a header line of one megabyte
  raw_request.py HOST:PORT drip       the headers a byte every half second, never ending
  raw_request.py HOST:PORT range      a Range header of 7,000 digits
"""
import socket
import sys


def status_line(answer):
    return answer.split(b"\r\n", 1)[0].decode("latin-1") if answer else ""


def exchange(address, request):
    """Sends the whole request (the server may answer and close first), then reads."""
    phone = socket.create_connection(address, timeout=30)
    answer = b""
    try:
        phone.sendall(request)
    except OSError:
        pass
    try:
        while not answer.endswith(b"\r\n\r\n") and b"\r\n\r\n" not in answer:
            got = phone.recv(65536)
            if not got:
                break
            answer += got
    except OSError:
        pass
    return answer


def drip(address):
    phone = socket.create_connection(address, timeout=30)
    phone.settimeout(0.5)
    answer = b""
    for byte in b"GET / HTTP/1.1\r\nHost: x\r\nX-Goteo: " + b"x" * 200:
        try:
            phone.send(bytes([byte]))
            answer += phone.recv(4096)
        except socket.timeout:
            continue
        except OSError:
            break
        if answer:
            break
    return answer


def main():
    host, port = sys.argv[1].rsplit(":", 1)
    address = (host, int(port))
    kind = sys.argv[2]
    if kind == "drip":
        answer = drip(address)
    elif kind == "megabyte":
        answer = exchange(address, b"GET / HTTP/1.1\r\nHost: x\r\nX-Relleno: " + b"x" * (1 << 20) + b"\r\n\r\n")
    else:
        answer = exchange(address, b"GET / HTTP/1.1\r\nHost: x\r\nRange: bytes=" + b"1" * 7000 + b"-\r\n\r\n")
    print(status_line(answer))


main()
