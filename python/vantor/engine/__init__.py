"""vantor.engine: the decision core of a web test-automation engine.

Each subpackage holds compiled modules that the host's runner imports and
calls directly; no module imports another.
"""
