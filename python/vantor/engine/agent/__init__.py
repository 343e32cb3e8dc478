"""Instruction parsing (stepreader) and run reporting (reporter)."""
