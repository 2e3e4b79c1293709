"""What the report tests share: running tevtool and reading a report page's tables and references."""
import html.parser
import re
import subprocess


def run(*args):
    done = subprocess.run(list(args), capture_output=True, text=True, timeout=120)
    if done.returncode != 0:
        raise SystemExit(f"{' '.join(args)}: exit {done.returncode}: {done.stderr.strip()}")
    return done.stdout


class Tables(html.parser.HTMLParser):
    """Every table of a page: its caption, its header cells and its rows of cell texts."""

    def __init__(self):
        super().__init__()
        self.tables = []
        self._cell = None
        self._in_caption = False

    def handle_starttag(self, tag, attrs):
        if tag == "table":
            self.tables.append({"caption": "", "headers": [], "rows": []})
        elif tag == "caption":
            self._in_caption = True
        elif tag == "tr" and self.tables:
            self.tables[-1]["rows"].append([])
        elif tag in ("th", "td"):
            self._cell = {"tag": tag, "scope": dict(attrs).get("scope"), "text": ""}

    def handle_endtag(self, tag):
        if tag == "caption":
            self._in_caption = False
        elif tag in ("th", "td") and self._cell is not None:
            cell, self._cell = self._cell, None
            table = self.tables[-1]
            if cell["scope"] == "col":
                table["headers"].append(cell["text"].strip())
            else:
                table["rows"][-1].append(cell["text"].strip())

    def handle_data(self, data):
        if self._cell is not None:
            self._cell["text"] += data
        elif self._in_caption:
            self.tables[-1]["caption"] += data

    def table(self, caption_start):
        found = [t for t in self.tables if t["caption"].startswith(caption_start)]
        if len(found) != 1:
            raise SystemExit(f"expected one table '{caption_start}...', found {len(found)}")
        table = found[0]
        table["rows"] = [r for r in table["rows"] if r]
        return table


# Attributes through which a page loads or links to something.
REFERENCES = {"src", "href", "xlink:href", "srcset", "data", "action", "formaction", "poster", "background",
              "manifest", "ping", "cite", "codebase", "longdesc", "archive"}
# Elements that load or run something whatever their attributes say.
LOADING_TAGS = {"script", "link", "iframe", "frame", "object", "embed", "img", "image", "use", "audio", "video",
                "source", "track", "base", "portal", "feimage"}


class References(html.parser.HTMLParser):
    """Everything in a page that would reach outside it."""

    def __init__(self):
        super().__init__()
        self.outside = []
        self._style = False

    def _check_css(self, text, where):
        for url in re.findall(r"url\(\s*['\"]?([^'\")]*)", text, re.I):
            if not url.startswith("#"):
                self.outside.append(f"{where}: url({url})")
        if re.search(r"@import|@font-face", text, re.I):
            self.outside.append(f"{where}: @import or @font-face")

    def handle_starttag(self, tag, attrs):
        if tag in LOADING_TAGS:
            self.outside.append(f"<{tag}>")
        for name, value in attrs:
            value = value or ""
            if name in REFERENCES and not value.startswith("#"):
                self.outside.append(f"<{tag} {name}=\"{value}\">")
            elif name == "style" or (tag == "meta" and name == "content" and "url" in value.lower()):
                self._check_css(value, f"<{tag} {name}>")
        self._style = tag == "style"

    def handle_endtag(self, tag):
        self._style = False

    def handle_data(self, data):
        if self._style:
            self._check_css(data, "<style>")


def outside_references(page):
    parser = References()
    parser.feed(page)
    return parser.outside
