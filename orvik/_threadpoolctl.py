"""threadpoolctl support: `threadpool_limits(1)` limits orvik's array calls
as it limits BLAS and OpenMP.

threadpoolctl costs some 70 ms to import, too much for every `import orvik`,
so the controller is registered when threadpoolctl is imported: at once if it
already is, else by a small import hook that steps aside after that.
"""

from __future__ import annotations

import importlib.machinery
import sys
from types import ModuleType

TYPE_CHECKING = False
if TYPE_CHECKING:
    from typing import Any



def _register(threadpoolctl: ModuleType) -> None:
    register = getattr(threadpoolctl, "register", None)
    if register is None:  # threadpoolctl before 3.5 takes no other libraries
        return
    # threadpoolctl finds libraries among those loaded: the engine must be.
    from orvik import _engine  # noqa: F401

    class OrvikController(threadpoolctl.LibController):  # type: ignore[name-defined, misc]
        user_api = "orvik"
        internal_api = "orvik"
        # The compiled module of the package: matched by its file name among
        # the loaded shared libraries, as threadpoolctl finds every library.
        filename_prefixes = ("_engine.",)
        check_symbols = ("PyInit__engine",)

        def get_num_threads(self) -> int:
            from orvik import _threads

            return _threads.get_process_num_threads()

        def set_num_threads(self, num_threads: int) -> None:
            from orvik import set_num_threads

            set_num_threads(num_threads)

        def get_version(self) -> str:
            from orvik import __version__

            return __version__

    register(OrvikController)


class _RegisterOnImport:
    """Finds nothing itself: when threadpoolctl is about to be imported, it
    wraps that module's loader so the controller is registered right after."""

    def find_spec(self, name: str, path: Any = None, target: Any = None) -> Any:
        if name != "threadpoolctl":
            return None
        sys.meta_path.remove(self)
        spec = importlib.machinery.PathFinder.find_spec(name, path)
        if spec is None or spec.loader is None:
            return spec
        loader = spec.loader
        exec_module = loader.exec_module

        def exec_then_register(module: ModuleType) -> None:
            exec_module(module)
            _register(module)

        loader.exec_module = exec_then_register  # type: ignore[method-assign]
        return spec


def install() -> None:
    if "threadpoolctl" in sys.modules:
        _register(sys.modules["threadpoolctl"])
        return
    # Just before the finder of modules on sys.path, which is what finds
    # threadpoolctl: finders that programs put first keep their place.
    hook = _RegisterOnImport()
    finders = sys.meta_path
    position = next(
        (i for i, f in enumerate(finders) if f is importlib.machinery.PathFinder), len(finders)
    )
    finders.insert(position, hook)



