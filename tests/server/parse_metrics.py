#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads a /metrics page on standard input with the Prometheus client's own text-format
# parser and prints every sample as "TYPE NAME{label=value,...} VALUE", sorted; a page
# the parser refuses ends with its error and exit code 1.
import sys

from prometheus_client.parser import text_string_to_metric_families

try:
    lines = []
    for family in text_string_to_metric_families(sys.stdin.read()):
        for sample in family.samples:
            labels = ",".join(f"{key}={value}" for key, value in sorted(sample.labels.items()))
            lines.append(f"{family.type} {sample.name}{{{labels}}} {sample.value:g}")
    print("\n".join(sorted(lines)))
except Exception as error:  # the parser's complaint is the test's failure message
    print(f"unparsable: {error}")
    sys.exit(1)
