"""The bare names of a generated long-layout library, one per line: what
`sort` + `comm`, the baseline of the figures, compare."""


def write_names(library, out):
    data = open(library, "rb").read()
    count = (len(data) - 15) // 144 if len(data) > 14 else 0
    with open(out, "wb") as f:
        for i in range(1, count + 1):
            p = 14 + i * 144
            end = data.find(b"\0", p, p + 144)  # generated names end within their slot
            f.write(data[p:end] + b"\n")
