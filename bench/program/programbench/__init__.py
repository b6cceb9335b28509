"""Benchmarks of Parlivo.exe under Wine, built on the acceptance suite's harness."""
