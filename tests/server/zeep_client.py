"""An independent SOAP toolkit against stowline-server: zeep reads the WSDL and calls every
operation (the address the WSDL gives is checked in test_protocol.cpp).
Usage: zeep_client.py PATH-TO-stowline-server
"""
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

import requests
import zeep
import zeep.exceptions
import zeep.transports

SERVER = None
ENDPOINT = "/WebServices/TOVAWebservice/TOVAWebservice.asmx"


def rows(data_set_text):
    """The rows of a data-set text as dicts of column name to text."""
    diffgram = "{urn:schemas-microsoft-com:xml-diffgram-v1}diffgram"
    tables = ElementTree.fromstring(data_set_text).findall(f"DataSet/{diffgram}/NewDataSet/Table")
    return [{column.tag: column.text or "" for column in table} for table in tables]


class ZeepAgainstServer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        database = os.path.join(cls.folder.name, "zeep.db")
        cls.process = subprocess.Popen(
            [SERVER, "--db", database, "--demo-data", "--listen", "127.0.0.1:0"],
            stdout=subprocess.PIPE, text=True)
        cls.server_name = cls.process.stdout.readline().strip()
        if not cls.server_name.startswith("http://127.0.0.1:"):
            cls.process.kill()
            raise RuntimeError(f"the server printed {cls.server_name!r}")
        session = requests.Session()
        session.trust_env = False  # loopback only, whatever proxy the environment names
        transport = zeep.transports.Transport(session=session, timeout=30)
        cls.client = zeep.Client(cls.server_name + ENDPOINT + "?WSDL", transport=transport)
        cls.service = cls.client.service

    @classmethod
    def tearDownClass(cls):
        cls.process.terminate()
        cls.process.wait(timeout=30)
        cls.folder.cleanup()

    def test_every_update(self):
        """Each update in the toolkit's own form, seen in the next query; a refusal is a fault.
        The queries' values hold markup and letters beyond ASCII, as the toolkit reads them."""
        service = self.service
        facilities = rows(service.GetFacilities())
        self.assertIn("Dépôt Sainte-Émilie", [f["Description"] for f in facilities])
        self.assertIsNone(service.AddDeliveryRoute(FacilityID=2, Route="Z9", Description="Z & co"))
        [route] = [r for r in rows(service.GetDeliveryRoute()) if r["Route"] == "Z9"]
        self.assertEqual((route["Description"], route["TOVAFacilityID"]), ("Z & co", "2"))
        route_id = int(route["DeliveryRouteID"])
        service.UpdateDeliveryRoute(FacilityID=2, DeliveryRouteID=route_id, Route="Z8",
                                    Description="Renamed <by> zeep")
        service.AddStorageLocation(TOVAFacilityID="2", RouteName="Z-1", Description="Zone")
        [bay] = [s for s in rows(service.GetStorageLocation()) if s["RouteName"] == "Z-1"]
        bay_id = int(bay["StorageLocationID"])
        service.UpdateStorageLocation(StorageLocationID=bay_id, TOVAFacilityID="2",
                                      RouteName="Z-2", Description="Zone 2")
        service.UpdateCenterRouteAndStorageLocation(FacilityID=2, CenterID=1008,
                                                    RouteID=route_id, StorageLocationID=bay_id)
        centers = rows(service.GetRelativeData())
        [center] = [c for c in centers if c["CenterID"] == "1008"]
        self.assertEqual((center["Route"], center["CenterRoute"], center["CenterLocation"]),
                         ("Z8", "Renamed <by> zeep", "Zone 2"))
        self.assertIn("Aisle <7> Outlet", [c["CenterName"] for c in centers])
        with self.assertRaises(zeep.exceptions.Fault) as raised:
            service.DeleteDeliveryRoute(DeliveryRouteID=route_id)
        self.assertEqual(raised.exception.code, "soap:Client")
        self.assertIn("is still assigned to", raised.exception.message)
        service.UpdateCenterRouteAndStorageLocation(FacilityID=2, CenterID=1008, RouteID=0,
                                                    StorageLocationID=0)
        service.DeleteStorageLocation(StorageLocationID=bay_id)
        service.DeleteDeliveryRoute(DeliveryRouteID=route_id)
        self.assertNotIn("Z8", [r["Route"] for r in rows(service.GetDeliveryRoute())])
        self.assertNotIn("Z-2", [s["RouteName"] for s in rows(service.GetStorageLocation())])


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    SERVER = sys.argv.pop(1)
    unittest.main(verbosity=2)
