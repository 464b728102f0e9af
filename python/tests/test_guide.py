import pathlib
import re

import pytest

GUIDE = pathlib.Path(__file__).resolve().parents[2] / "docs" / "guide.md"


def test_the_guides_python_blocks_run():
    if not GUIDE.exists():
        pytest.skip("guide not beside the tests")
    blocks = re.findall(r"```python\n(.*?)```", GUIDE.read_text(), re.S)
    assert blocks
    scope = {}
    for block in blocks:  # later blocks use the names of earlier ones
        exec(compile(block, str(GUIDE), "exec"), scope)
    assert (scope["mean"], scope["var"]) == (2.8, 3.2)
