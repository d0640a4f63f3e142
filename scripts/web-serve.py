#!/usr/bin/python3
"""Serves the page's folder on this machine only, as a web host should: every file with
`Cache-Control: no-cache`, so that a browser asks again before using what it keeps and a new
build shows by the second load. Usage: web-serve.py DIR PORT"""
import functools
import http.server
import sys


class PageHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm",
                      ".js": "text/javascript", ".webmanifest": "application/manifest+json"}

    def end_headers(self):
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()


if __name__ == "__main__":
    site, port = sys.argv[1], int(sys.argv[2])
    print(f"namoro: http://127.0.0.1:{port}/", flush=True)
    http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(PageHandler, directory=site)).serve_forever()
