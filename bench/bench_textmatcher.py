"""Text matcher resolve time against a plain Python pass over the same page.

Synthetic pages of 100, 1,000 and 10,000 descriptors mix buttons, links,
labelled inputs with the attributes a page scanner captures, hidden elements
kept for their aria-label, and text elements laid out in rows of label and
value cells. The yardstick is a loop that reads each descriptor's "text",
"attributes" and "is_visible" once: the least any resolver must do. For
context a second loop also walks each attributes record's keys, which the
match rules need (data- attribute names are surfaces). Each round times every
loop once, side by side; the figures are medians.
"""

import random
import statistics
import time

from vantor.engine.strategies.textmatcher import TextMatcher

WORDS = ["Login", "Submit", "Cancel", "Save", "Search", "Next", "Back", "Details", "Checkout", "Remove", "Edit",
         "Share", "Download", "Upload", "Settings", "Profile", "Help", "Orders", "Cart", "Home"]
OBJECTS = ["item", "order", "draft", "photo", "report", "account", "address", "comment", "review", "invoice",
           "message", "ticket", "folder", "project", "backup", "profile", "coupon", "payment", "filter", "list"]
FIELDS = ["Username", "Password", "Email", "First name", "Last name", "Zip code", "Phone", "City", "Company"]


def box(x, y, w, h):
    return {"x": x, "y": y, "width": w, "height": h}


def make_page(count, seed=11):
    """(element descriptors, text element descriptors): about 70 and 30 per cent of `count`."""
    rng = random.Random(seed)
    elements, texts = [], []
    n_elements = count * 7 // 10
    for i in range(n_elements):
        row, col = divmod(i, 8)
        x, y = 20 + col * 140, 40 + row * 36
        xpath = f"/html[1]/body[1]/div[{row + 1}]/div[{col + 1}]"
        kind = rng.random()
        word = f"{rng.choice(WORDS)} {rng.choice(OBJECTS)}"
        if kind < 0.45:
            attributes = {"id": f"btn-{word.lower().replace(' ', '-')}", "class": "btn btn-primary css-1x9a",
                          "type": "button"}
            if rng.random() < 0.3:
                attributes["data-testid"] = f"{word.lower().replace(' ', '-')}-button"
            elements.append({"tag": "button", "text": word, "attributes": attributes, "bounding_box": box(x, y, 120, 30),
                             "is_visible": True, "is_enabled": rng.random() < 0.9, "xpath": xpath + "/button[1]"})
        elif kind < 0.75:
            elements.append({"tag": "a", "text": word, "attributes": {"href": f"/{word.lower()}", "class": "nav-link"},
                             "bounding_box": box(x, y, 100, 20), "is_visible": True, "is_enabled": True,
                             "xpath": xpath + "/a[1]"})
        elif kind < 0.93:
            label = f"{rng.choice(FIELDS)} {rng.choice(OBJECTS)}"
            attributes = {"id": f"field_{label.lower().replace(' ', '_')}", "name": label.lower().replace(" ", "_"), "type": "text",
                          "placeholder": f"Enter {label.lower()}", "class": "form-control", "data-field": "yes",
                          "_label": label}
            elements.append({"tag": "input", "text": "", "attributes": attributes, "bounding_box": box(x, y, 130, 28),
                             "is_visible": True, "is_enabled": True, "xpath": xpath + "/input[1]"})
        else:
            elements.append({"tag": "button", "text": "", "attributes": {"aria-label": f"Close {rng.choice(OBJECTS)}",
                                                                  "class": "close"},
                             "bounding_box": box(x, y, 16, 16), "is_visible": False, "is_enabled": True,
                             "xpath": xpath + "/button[1]"})
    for j in range((count - n_elements) // 2):
        y = 40 + j * 24
        xpath = f"/html[1]/body[1]/table[1]/tbody[1]/tr[{j + 1}]"
        attributes = {"class": "cell"}
        texts.append({"tag": "td", "text": f"{rng.choice(FIELDS)} of {rng.choice(OBJECTS)} {j}", "has_direct_text": True,
                      "attributes": attributes,
                      "bounding_box": box(900, y, 120, 20), "is_visible": True, "is_enabled": True,
                      "xpath": xpath + "/td[1]"})
        texts.append({"tag": "td", "text": f"${rng.randint(1, 999)}.00", "has_direct_text": True,
                      "attributes": attributes, "bounding_box": box(1040, y, 80, 20), "is_visible": True,
                      "is_enabled": True, "xpath": xpath + "/td[2]"})
    return elements, texts


def instructions(elements, texts, rng):
    """One instruction per action kind, naming something in the middle of the page.

    Targets repeat on a page (several "Save draft" buttons), so a click or a
    check has several candidates to rank.
    """
    middle = len(elements) // 2
    button = next(e for e in elements[middle:] + elements if e["tag"] == "button" and e["text"])
    field = next(e for e in elements[middle:] + elements if e["tag"] == "input")
    row = len(texts) // 4 * 2
    return {
        "click": {"action": "click", "target": button["text"], "value": None, "ordinal": 2, "_literal_target": False},
        "type": {"action": "type", "target": field["attributes"]["_label"] + " field", "value": "alice",
                 "_literal_target": False},
        "verify": {"action": "verify_enabled", "target": button["text"] + " button", "value": None,
                   "_literal_target": False},
        "directional": {"action": "verify_spatial_text", "target": "right of " + texts[row]["text"],
                        "value": texts[row + 1]["text"], "_literal_target": False},
    }


def median_ns(samples):
    return statistics.median(samples)


def main(sizes=(100, 1_000, 10_000), rounds=21):
    matcher = TextMatcher()
    resolve = matcher.resolve
    print(f"text matcher: resolve against a loop reading text, attributes, is_visible; {rounds} rounds, medians")
    for count in sizes:
        elements, texts = make_page(count)
        page = elements + texts
        steps = instructions(elements, texts, random.Random(count))
        reps = max(1, 20_000 // count)

        def read_loop():
            for d in page:
                d["text"]
                d["attributes"]
                d["is_visible"]

        def read_and_walk_loop():
            for d in page:
                d["text"]
                d["is_visible"]
                for _ in d["attributes"]:
                    pass

        loops = {"read loop": read_loop, "+ key walk": read_and_walk_loop}
        for name, step in steps.items():
            loops[name] = lambda step=step: resolve(step, elements, texts)
        samples = {name: [] for name in loops}
        for _ in range(rounds):
            for name, run in loops.items():
                start = time.perf_counter_ns()
                for _ in range(reps):
                    run()
                samples[name].append((time.perf_counter_ns() - start) / reps)
        base = median_ns(samples["read loop"])
        print(f"  {count} descriptors ({len(elements)} elements, {len(texts)} text elements):")
        for name in loops:
            ns = median_ns(samples[name])
            print(f"    {name:<12} {ns / 1000:9.1f} us   {ns / base:5.2f}x the read loop")


if __name__ == "__main__":
    main()
